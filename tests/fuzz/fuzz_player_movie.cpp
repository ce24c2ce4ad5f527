// Fuzz target for the movie player's core: loads the bytes as a movie,
// plays a few frames, draws them to a sink that discards everything, sends
// mouse events and asks for a few variables and targets.
#include <cstddef>
#include <cstdint>
#include <string>

#include "player/core/player.h"

namespace {

using namespace kelpo::player;

void Discard(void*, uint32_t) {}
void DiscardPath(void*, const PathSegment*, size_t, const Paint&) {}
void DiscardStroke(void*, const PathSegment*, size_t, const Stroke&) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PlayerHost host;
    host.fsCommand = [](void*, const std::string&, const std::string&) {};
    host.trace = [](void*, const std::string&) {};
    host.getUrl = [](void*, const std::string&, const std::string&) {};
    Player* player = NewPlayer(host);
    if (LoadMovieBytes(player, 0, data, size)) {
        RenderSink sink;
        sink.clear = Discard;
        sink.fillPath = DiscardPath;
        sink.strokePath = DiscardStroke;
        MovieInfo info = GetMovieInfo(player);
        ViewState view;
        Matrix toDevice = ViewMatrix(info, 320, 240, view);
        const double points[][2] = {{100, 100}, {2000, 2000}, {4000, 3000}};
        for (int tick = 0; tick < 4; ++tick) {
            AdvanceFrame(player);
            RenderFrame(player, toDevice, sink);
            const double* p = points[tick % 3];
            MouseMove(player, p[0], p[1]);
            if (tick % 2)
                MouseDown(player, p[0], p[1]);
            else
                MouseUp(player, p[0], p[1]);
        }
        std::string value;
        GetVariable(player, "/:a", value);
        GetVariable(player, "_root.a.b", value);
        TGotoLabel(player, "/", "a");
        Rewind(player);
    }
    FreePlayer(player);
    return 0;
}
