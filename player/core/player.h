// The movie player's portable core: movies read from memory, the timeline,
// the display list, the action interpreter, variables and targets, button
// input and drawing through a sink. The ActiveX control wraps one Player;
// nothing here touches Win32, so the core is tested and fuzzed natively.
//
// Coordinates inside the core are twips (1/20 pixel) in movie space; the
// control maps them to its window with the view matrix it passes in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelpo::player {

struct Player;

// What a movie's header tells.
struct MovieInfo {
    int version = 0;
    bool compressed = false;
    uint32_t fileLength = 0;                         // the header's (uncompressed) length
    int32_t xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // frame rectangle, twips
    double frameRate = 0;                            // frames per second
    int frameCount = 0;
    uint32_t background = 0xFFFFFF;  // 0xRRGGBB, white until a SetBackgroundColor tag
};

// Callbacks from the core to whoever hosts it (the control, or a test).
struct PlayerHost {
    void* user = nullptr;
    // An "FSCommand:" URL: the text after the prefix, and the target text.
    void (*fsCommand)(void* user, const std::string& command,
                      const std::string& arguments) = nullptr;
    void (*trace)(void* user, const std::string& text) = nullptr;
    // The picture changed; the host should repaint.
    void (*invalidate)(void* user) = nullptr;
    // A GetURL that is not an FSCommand (open a browser, load a movie...).
    void (*getUrl)(void* user, const std::string& url, const std::string& target) = nullptr;
};

// 2 by 3 affine matrix: x' = a x + c y + tx, y' = b x + d y + ty.
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};

struct Point {
    double x, y;
};

// One path of a shape, already transformed to device coordinates.
struct PathSegment {
    bool curve;   // quadratic curve through `control` to `to`, else a line to `to`
    bool moveTo;  // starts a new sub-path at `to`
    Point control;
    Point to;
};

// How a path is filled. Gradients are given in gradient space, where the
// gradient runs from -1 to 1 along x (linear) or out to radius 1 (radial);
// `matrix` maps that space to the device.
enum class PaintKind : uint8_t { Solid, LinearGradient, RadialGradient };
enum class Spread : uint8_t { Pad, Reflect, Repeat };

struct GradientStop {
    double position;  // 0 to 1, in order
    uint32_t argb;
};

constexpr int kMaxGradientStops = 15;

struct Paint {
    PaintKind kind = PaintKind::Solid;
    uint32_t argb = 0xFF000000;  // solid colour; for gradients, a stand-in (the middle stop)
    Matrix matrix;
    Spread spread = Spread::Pad;
    double focal = 0;  // radial: the focal point's x, -1 to 1
    int stopCount = 0;
    GradientStop stops[kMaxGradientStops] = {};
};

enum class LineCap : uint8_t { Round, None, Square };
enum class LineJoin : uint8_t { Round, Bevel, Miter };

struct Stroke {
    double width = 1;  // device pixels
    uint32_t argb = 0xFF000000;
    LineCap startCap = LineCap::Round, endCap = LineCap::Round;
    LineJoin join = LineJoin::Round;
    double miterLimit = 3;
};

// Where frames are drawn. Colours are 0xAARRGGBB (alpha 255 opaque).
struct RenderSink {
    void* user = nullptr;
    void (*clear)(void* user, uint32_t argb) = nullptr;
    // Fills the area enclosed by the segments (even-odd).
    void (*fillPath)(void* user, const PathSegment* segments, size_t count,
                     const Paint& paint) = nullptr;
    void (*strokePath)(void* user, const PathSegment* segments, size_t count,
                       const Stroke& stroke) = nullptr;
    // A picture loaded into a level (JPEG through LoadMovie): 32-bit ARGB pixels.
    void (*drawImage)(void* user, const uint32_t* pixels, int width, int height,
                      const Matrix& toDevice) = nullptr;
};

Player* NewPlayer(const PlayerHost& host);
void FreePlayer(Player* player);

// Reads a movie from bytes into a level (0 replaces everything). False when
// the bytes are not a movie; a damaged movie loads as far as it reads. The
// first frame is entered at once: its actions run (and may call the host)
// before this returns.
bool LoadMovieBytes(Player* player, int level, const uint8_t* bytes, size_t length);
// Puts a decoded picture (ARGB pixels) into a level, as LoadMovie of a JPEG does.
bool LoadPicture(Player* player, int level, std::vector<uint32_t> pixels, int width, int height);
void UnloadLevel(Player* player, int level);
bool HasMovie(const Player* player);
MovieInfo GetMovieInfo(const Player* player);
// Reads only the header of a movie; false when it is not one.
bool ReadMovieInfo(const uint8_t* bytes, size_t length, MovieInfo& info);

// The timeline of _level0. Frames count from 0 here, as the control's
// methods do (CurrentFrame, GotoFrame, FrameNum).
void AdvanceFrame(Player* player);  // one tick of the frame timer
void Play(Player* player);
void StopPlay(Player* player);
bool IsPlaying(const Player* player);
void SetLoop(Player* player, bool loop);
bool GetLoop(const Player* player);
void GotoFrame(Player* player, int frame);
void Back(Player* player);
void Forward(Player* player);
void Rewind(Player* player);
int CurrentFrame(const Player* player);
int TotalFrames(const Player* player);
int PercentLoaded(const Player* player);
bool FrameLoaded(const Player* player, int frame);

// Targets: "/", "_root", "_level0", "/clip", "_root.clip.sub", "clip/sub".
// Each returns false when the target does not exist. Going to a frame
// (GotoFrame, TGotoFrame, TGotoLabel) keeps the playing state; Back, Forward
// and Rewind stop.
bool TGotoFrame(Player* player, const std::string& target, int frame);
bool TGotoLabel(Player* player, const std::string& target, const std::string& label);
bool TCurrentFrame(Player* player, const std::string& target, int& frame);
bool TCurrentLabel(Player* player, const std::string& target, std::string& label);
bool TPlay(Player* player, const std::string& target);
bool TStopPlay(Player* player, const std::string& target);
// Properties by the standard index (0 "_x" ... 21 "_ymouse").
bool TGetProperty(Player* player, const std::string& target, int property, std::string& value);
bool TSetProperty(Player* player, const std::string& target, int property,
                  const std::string& value);
bool TGetPropertyNum(Player* player, const std::string& target, int property, double& value);
bool TSetPropertyNum(Player* player, const std::string& target, int property, double value);
bool TCallFrame(Player* player, const std::string& target, int frame);
bool TCallLabel(Player* player, const std::string& target, const std::string& label);

// Variables by slash or dot path, with members of objects and arrays
// ("list.length", "list[2]", "obj.name", "/clip:var", "_root.clip.var").
bool SetVariable(Player* player, const std::string& name, const std::string& value);
bool GetVariable(Player* player, const std::string& name, std::string& value);
// FlashVars: "a=1&b=two" (URL-encoded) become variables of _level0 on load.
void SetFlashVars(Player* player, const std::string& flashVars);

// Input in movie twips; buttons under the point change state and run their
// actions. True when the mouse is over an active button (hand cursor).
bool MouseMove(Player* player, double x, double y);
void MouseDown(Player* player, double x, double y);
void MouseUp(Player* player, double x, double y);

// Draws the current frame: movie space mapped to device by `toDevice`.
void RenderFrame(Player* player, const Matrix& toDevice, RenderSink& sink);

// How the control maps the movie rectangle to its window: the scale mode
// and alignment first, then the zoom rectangle or zoom factor, then the pan.
struct ViewState {
    int scaleMode = 0;  // 0 show all, 1 no border, 2 exact fit, 3 no scale
    int align = 0;      // 1 left, 2 right, 4 top, 8 bottom; centred on an axis without a flag
    double zoom = 1;    // above 1 magnifies, about the window's centre
    double panX = 0, panY = 0;  // device pixels
    bool hasZoomRect = false;
    double zoomLeft = 0, zoomTop = 0, zoomRight = 0, zoomBottom = 0;  // twips
};

// Movie twips to window pixels for a window of width x height pixels.
Matrix ViewMatrix(const MovieInfo& info, int width, int height, const ViewState& view);
// Zoom(percent): 50 doubles the size, 200 halves it; 0 resets zoom, pan and zoom rectangle.
void ZoomView(ViewState& view, int percent);
// Pan(dx, dy, mode): mode 0 moves by pixels, 1 by percent of the window's width and height.
void PanView(ViewState& view, double dx, double dy, int mode, int width, int height);
// SetZoomRect(left, top, right, bottom) in twips: that area fills the window (aspect kept).
void SetZoomRect(ViewState& view, double left, double top, double right, double bottom);
// Window pixels back to movie twips (for mouse input); false for a degenerate matrix.
bool DeviceToMovie(const Matrix& toDevice, double x, double y, double& movieX, double& movieY);

}  // namespace kelpo::player
