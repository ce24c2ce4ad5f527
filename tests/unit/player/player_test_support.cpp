// Recording host and sink for the player core's tests.
#include "tests/unit/player/player_test_support.h"

namespace kelpo::player::testing {

RecordingSink::RecordingSink() {
    sink.user = this;
    sink.clear = [](void* user, uint32_t argb) {
        static_cast<RecordingSink*>(user)->clears.push_back(argb);
    };
    sink.fillPath = [](void* user, const PathSegment* segments, size_t count, const Paint& paint) {
        static_cast<RecordingSink*>(user)->paths.push_back(
            DrawnPath{true, std::vector<PathSegment>(segments, segments + count), paint.argb, 0,
                      paint, Stroke()});
    };
    sink.strokePath = [](void* user, const PathSegment* segments, size_t count,
                         const Stroke& stroke) {
        Paint paint;
        paint.argb = stroke.argb;
        static_cast<RecordingSink*>(user)->paths.push_back(
            DrawnPath{false, std::vector<PathSegment>(segments, segments + count), stroke.argb,
                      stroke.width, paint, stroke});
    };
}

PlayerFixture::PlayerFixture() : recorded_(std::make_unique<Recorded>()) {
    PlayerHost host;
    host.user = recorded_.get();
    host.fsCommand = [](void* user, const std::string& command, const std::string& arguments) {
        static_cast<Recorded*>(user)->fsCommands.emplace_back(command, arguments);
    };
    host.trace = [](void* user, const std::string& text) {
        static_cast<Recorded*>(user)->traces.push_back(text);
    };
    host.invalidate = [](void* user) { ++static_cast<Recorded*>(user)->invalidations; };
    host.getUrl = [](void* user, const std::string& url, const std::string& target) {
        static_cast<Recorded*>(user)->urls.emplace_back(url, target);
    };
    player_ = NewPlayer(host);
}

PlayerFixture::~PlayerFixture() { FreePlayer(player_); }

bool PlayerFixture::Load(const std::vector<uint8_t>& bytes, int level) {
    return LoadMovieBytes(player_, level, bytes.data(), bytes.size());
}

std::string PlayerFixture::Var(const std::string& name) {
    std::string value;
    return GetVariable(player_, name, value) ? value : "<missing>";
}

std::vector<uint8_t> ScriptMovie(const std::string& actions, int version) {
    movies::MovieHeader header;
    header.version = static_cast<uint8_t>(version);
    movies::MovieBuilder movie(header);
    movie.Actions(actions).ShowFrame();
    return movie.Bytes();
}

std::vector<std::string> RunTraces(const std::string& actions, int version) {
    PlayerFixture fixture;
    fixture.Load(ScriptMovie(actions, version));
    return fixture.recorded().traces;
}

}  // namespace kelpo::player::testing
