// Writes the demo project's movie: a panel with a title, a meter and four
// labelled buttons. "Count" grows the meter and runs the packaged script
// Count through an FSCommand; "Full screen" and "Window" switch the window;
// "Quit" ends it. Title and labels are texts in an embedded block-letter font.
//
//   make-demo-movie OUT.swf
#include <cstdio>

#include "platform/files.h"
#include "tools/movie-writer/movie_assembler.h"

using namespace kelpo::movies;

namespace {

constexpr int32_t kTwips = 20;
constexpr int32_t kLabelHeight = 13 * kTwips;
// Block letters advance 600 of the font's 1024 units; the last one's
// advance ends with a gap of 100 units, and capitals rise 700 units.
constexpr double kAdvance = 600 / 1024.0, kGap = 100 / 1024.0, kCapital = 700 / 1024.0;

// A button of three coloured faces (up, over, down) over the same area,
// with its label centred on every face.
uint16_t AddButton(MovieBuilder& movie, uint16_t font, const std::string& label, uint32_t up,
                   uint32_t over, uint32_t down, const std::string& actions) {
    const int32_t width = 96 * kTwips, height = 40 * kTwips;
    uint16_t upFace = movie.Shape(RectangleShape(0, 0, width, height, up));
    uint16_t overFace = movie.Shape(RectangleShape(0, 0, width, height, over));
    uint16_t downFace = movie.Shape(RectangleShape(0, 0, width, height, down));
    const double textWidth = (label.size() * kAdvance - kGap) * kLabelHeight;
    const auto x = static_cast<int32_t>((width - textWidth) / 2);
    const auto baseline = static_cast<int32_t>((height + kCapital * kLabelHeight) / 2);
    uint16_t text = movie.Text(font, label, x, baseline, kLabelHeight, 0xFFFFFFFF);
    return movie.Button2({{0x01 | 0x08, upFace, 1, {}},
                          {0x02, overFace, 2, {}},
                          {0x04, downFace, 3, {}},
                          {0x07, text, 4, {}}},
                         {{0x08, actions}});
}

std::string FsCommand(const std::string& command, const std::string& argument) {
    return "push 'FSCommand:" + command + "', '" + argument + "'; getURL2 0";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make-demo-movie OUT.swf\n", stderr);
        return 2;
    }
    MovieHeader header;
    header.widthTwips = 480 * kTwips;
    header.heightTwips = 300 * kTwips;
    header.frameRate = 12 << 8;
    MovieBuilder movie(header);
    movie.Background(0x1E2A38);

    uint16_t font = movie.Font("CFKQWcdeijlmnoprstuw ");
    uint16_t panel = movie.Shape(RectangleShape(0, 0, 440 * kTwips, 150 * kTwips, 0x2E4A62));
    uint16_t title =
        movie.Text(font, "Kelpo projector demo", 36 * kTwips, 50 * kTwips, 18 * kTwips, 0xFFF2F2F2);
    // The meter is a clip (only clips are targets), holding one bar.
    uint16_t bar = movie.Shape(RectangleShape(0, 0, 40 * kTwips, 30 * kTwips, 0xF2C14E));
    TimelineBuilder meterTimeline;
    meterTimeline.Place(1, bar).ShowFrame();
    uint16_t meter = movie.Sprite(meterTimeline);
    // The mark is a clip too: the Count script turns it. Its triangle is
    // centred on the clip's origin so that it turns in place.
    uint16_t triangle = movie.Shape(TriangleShape(-30 * kTwips, 30 * kTwips, 0, -30 * kTwips,
                                                  30 * kTwips, 30 * kTwips, 0x6FB1E0));
    TimelineBuilder markTimeline;
    markTimeline.Place(1, triangle).ShowFrame();
    uint16_t mark = movie.Sprite(markTimeline);

    // Count: the meter grows by a quarter of its width, and the script runs.
    uint16_t count =
        AddButton(movie, font, "Count", 0x3CB371, 0x66CDAA, 0x2E8B57,
                  "push '/meter', 2, '/meter', 2; getProperty; push 25; add2; setProperty; " +
                      FsCommand("Kelpo_Run", "Count"));
    uint16_t full = AddButton(movie, font, "Full screen", 0x4682B4, 0x6CA6CD, 0x36648B,
                              FsCommand("fullscreen", "true"));
    uint16_t window = AddButton(movie, font, "Window", 0x8A6FB0, 0xA98BD0, 0x6A4F90,
                                FsCommand("fullscreen", "false"));
    uint16_t quit =
        AddButton(movie, font, "Quit", 0xCD5C5C, 0xF08080, 0x8B3A3A, FsCommand("quit", ""));

    movie.PlaceAt(1, panel, Translate(20 * kTwips, 20 * kTwips), "panel");
    movie.Place(4, title, "title");
    movie.PlaceAt(2, mark, Translate(70 * kTwips, 90 * kTwips), "mark");
    movie.PlaceAt(3, meter, Translate(120 * kTwips, 75 * kTwips), "meter");
    movie.PlaceAt(10, count, Translate(20 * kTwips, 220 * kTwips), "count");
    movie.PlaceAt(11, full, Translate(132 * kTwips, 220 * kTwips), "fullScreen");
    movie.PlaceAt(12, window, Translate(244 * kTwips, 220 * kTwips), "window");
    movie.PlaceAt(13, quit, Translate(356 * kTwips, 220 * kTwips), "quit");
    movie.Actions("stop");
    movie.ShowFrame();

    std::vector<uint8_t> bytes = movie.Bytes(true);
    if (!kelpo::WriteWholeFile(argv[1], bytes.data(), bytes.size())) {
        std::fprintf(stderr, "make-demo-movie: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
