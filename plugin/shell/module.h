// The plug-in's host-facing records and its four callbacks. A host reaches
// them through winampVisGetHeader(); getVisModule(0) is the one module.
#pragma once

#include "shell/vis_module.h"

extern "C" {
VisModule* getVisModule(int index);
void onConfigure(VisModule* module);
int onStart(VisModule* module);
int onRender(VisModule* module);
void onStop(VisModule* module);
VisHeader* winampVisGetHeader();
}

extern VisHeader visHeader;
extern VisModule visModule;

// Names under which the host lists the library and its module.
extern const char* const libraryName;
extern const char* const moduleName;
