#include "playlist_panel.h"

#include "playlist_titles.h"
#include "text/text.h"

int highlightDirection = 1;

namespace {

constexpr int panelTopLine = 420;
constexpr int panelLineHeight = 15;
constexpr int panelTextSize = 10;
constexpr int panelHighlightSwing = 30;
// Mouse y of the top of the first line, in client coordinates from the top.
constexpr int panelClickTop = 20;

void setPanelGreen(int size) {
    textSetSize(size);
    textSetColor(0.0f, 0.8f, 0.2f);
}

} // namespace

PlaylistPanel::PlaylistPanel(VisModule* host, const char* fontPath)
    : host(host), titleCount(0), firstVisible(0), current(-1), pageSize(25), scrollStep(5),
      highlightOffset(0), enabled(1), titles(nullptr) {
    const int length = playlistLength(host);
    bool answered = true;
    titles = playlistFetchTitles(host, length, answered);
    titleCount = titles ? length : 0;
    textLoadFont(fontPath);
}

PlaylistPanel::~PlaylistPanel() {
    playlistReleaseTitles(titles, titleCount);
}

// Titles are fetched again only when the length changes: a playlist reordered
// in place keeps showing the old titles, and so does a host that did not
// answer in time.
void PlaylistPanel::refresh() {
    PlaylistUpdate update = PlaylistUpdate::fetch(host, titleCount);
    takeTitles(update);
}

void PlaylistPanel::takeTitles(PlaylistUpdate& update) {
    if (!update.fetched()) return;
    playlistReleaseTitles(titles, titleCount);
    titleCount = update.count();
    titles = update.take();
}

void PlaylistPanel::setCurrent(int position) {
    if (position == current) return;
    current = position;
    firstVisible = position > 5 ? position - 5 : 0;
    draw();
}

void PlaylistPanel::draw() {
    if (enabled == -1) return;
    // A host's position far past the list puts firstVisible near the int limit.
    const long long pageEnd = static_cast<long long>(firstVisible) + pageSize;
    const int end = titleCount < pageEnd ? titleCount : static_cast<int>(pageEnd);
    for (int i = firstVisible; i < end; ++i) {
        const int y = panelTopLine - panelLineHeight * (i - firstVisible);
        const char* title = titles[i] ? titles[i] : "";
        if (i != current) {
            setPanelGreen(panelTextSize);
            textPrint(50, y, "%d- %s", i, title);
            continue;
        }
        textSetSize(panelTextSize);
        textSetColor(1.0f, 1.0f, 0.5f);
        textPrint(50 + highlightOffset, y, "%d- %s", i, title);
        highlightOffset += highlightDirection;
        if (highlightOffset > panelHighlightSwing) highlightDirection = -1;
        if (highlightOffset < -panelHighlightSwing) highlightDirection = 1;
    }
    setPanelGreen(30);
    textPrint(200, 430, "-");
    setPanelGreen(30);
    textPrint(200, 10, "+");
    setPanelGreen(panelTextSize);
    textPrint(500, 10, "h : Aide");
}

// y is the mouse's, from the client area's top; x plays no part.
int PlaylistPanel::hitTest(int, int y) {
    const long long line =
        (y - panelClickTop) / panelLineHeight + static_cast<long long>(firstVisible);
    if (line < 0 || line >= titleCount) return -1;
    current = static_cast<int>(line);
    return current;
}

void PlaylistPanel::scrollUp() {
    firstVisible -= scrollStep;
    if (firstVisible < 0) firstVisible = 0;
}

// The last page shows the last pageSize titles; a short list never scrolls.
void PlaylistPanel::scrollDown() {
    const long long next = static_cast<long long>(firstVisible) + scrollStep;
    firstVisible = titleCount - pageSize < next ? titleCount - pageSize : static_cast<int>(next);
    if (firstVisible < 0) firstVisible = 0;
}

void PlaylistPanel::toggle() {
    enabled = -enabled;
}
