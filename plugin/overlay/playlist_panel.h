// The playlist overlay: up to 25 numbered titles from the host's playlist, the
// current one highlighted in light yellow and swaying, plus scroll labels and
// the help hint. It keeps its own copy of the titles and fetches them again
// only when the playlist's length changes: `refresh` asks the host and takes
// the new titles at once; a frame fetches them before it takes its lock
// (PlaylistUpdate) and hands them over with `takeTitles`. Needs the GL
// context current when constructed (it loads the font) and when drawn.
#pragma once

struct VisModule;
class PlaylistUpdate;

class PlaylistPanel {
  public:
    PlaylistPanel(VisModule* host, const char* fontPath);
    virtual ~PlaylistPanel();
    PlaylistPanel(const PlaylistPanel&) = delete;
    PlaylistPanel& operator=(const PlaylistPanel&) = delete;

    void refresh();
    void takeTitles(PlaylistUpdate& update);
    void setCurrent(int position);
    void draw();
    int hitTest(int x, int y);
    void scrollUp();
    void scrollDown();
    void toggle();

    VisModule* host;
    int titleCount;
    int firstVisible;
    int current;
    int pageSize;
    int scrollStep;
    int highlightOffset;
    int enabled;
    char** titles;
};

extern int highlightDirection;
