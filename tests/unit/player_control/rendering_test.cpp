// What the control draws: IViewObject::Draw of a movie with a shape into
// memory bitmaps of several sizes (the view matrix scales and centres the
// stage), the BackgroundColor override, and a capture of the active
// control's window saved as a bitmap file for people to look at.
#include <gtest/gtest.h>

#include <wincodec.h>

#include "tools/movie-writer/movie_assembler.h"
#include "tests/unit/player_control/control_harness.h"
#include "tests/unit/player_control/drawing_support.h"

using namespace kelpo::movies;

namespace kelpo::test {
namespace {

constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;

// A 200 by 100 pixel stage on blue with a red rectangle from (50, 25) to
// (150, 75).
std::wstring ShapeMovie() {
    MovieHeader header;
    header.widthTwips = 200 * kTwipsPerPixel;
    header.heightTwips = 100 * kTwipsPerPixel;
    MovieBuilder movie(header);
    movie.Background(kBlue);
    uint16_t shape = movie.Shape(RectangleShape(50 * kTwipsPerPixel, 25 * kTwipsPerPixel,
                                                150 * kTwipsPerPixel, 75 * kTwipsPerPixel, kRed));
    movie.Place(1, shape).ShowFrame();
    return WriteScratchFile(L"shape.swf", movie.Bytes());
}

// A JPEG file of one colour, written with the system's image codecs.
std::vector<uint8_t> SolidJpeg(int width, int height, uint32_t rgb) {
    std::vector<uint8_t> file;
    IWICImagingFactory* factory = nullptr;
    IStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    bool ok =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) &&
        SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) &&
        SUCCEEDED(frame->Initialize(options)) && SUCCEEDED(frame->SetSize(width, height));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    ok = ok && SUCCEEDED(frame->SetPixelFormat(&format)) &&
         IsEqualGUID(format, GUID_WICPixelFormat24bppBGR);
    if (ok) {
        std::vector<uint8_t> pixels;
        for (int i = 0; i < width * height; ++i) {
            pixels.push_back(static_cast<uint8_t>(rgb));
            pixels.push_back(static_cast<uint8_t>(rgb >> 8));
            pixels.push_back(static_cast<uint8_t>(rgb >> 16));
        }
        ok = SUCCEEDED(frame->WritePixels(height, width * 3, static_cast<UINT>(pixels.size()),
                                          pixels.data())) &&
             SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    }
    STATSTG status{};
    if (ok && SUCCEEDED(stream->Stat(&status, STATFLAG_NONAME))) {
        file.resize(static_cast<size_t>(status.cbSize.QuadPart));
        LARGE_INTEGER start{};
        ULONG read = 0;
        stream->Seek(start, STREAM_SEEK_SET, nullptr);
        stream->Read(file.data(), static_cast<ULONG>(file.size()), &read);
        file.resize(read);
    }
    if (options) options->Release();
    if (frame) frame->Release();
    if (encoder) encoder->Release();
    if (stream) stream->Release();
    if (factory) factory->Release();
    return file;
}

struct PixelCase {
    int x, y;
    uint32_t rgb;
};

struct DrawCase {
    const char* name;
    int width, height;  // of the bitmap, drawn in whole
    std::vector<PixelCase> pixels;
};

TEST(ControlRendering, DrawPaintsBackgroundAndShapeAtAnySize) {
    HostedControl control(false);
    ASSERT_EQ(control.Put(L"Movie", Variant(ShapeMovie().c_str())), S_OK);
    const DrawCase cases[] = {
        {"stage size",
         200,
         100,
         {{5, 5, kBlue}, {100, 50, kRed}, {55, 30, kRed}, {45, 50, kBlue}, {155, 50, kBlue}}},
        {"doubled",
         400,
         200,
         {{10, 10, kBlue}, {200, 100, kRed}, {110, 60, kRed}, {90, 100, kBlue}, {310, 100, kBlue}}},
        // Show-all centres the stage: 200 by 100 in a 200 by 200 square
        // leaves bands of the background above and below.
        {"letterboxed",
         200,
         200,
         {{100, 10, kBlue}, {100, 100, kRed}, {100, 70, kBlue}, {100, 130, kBlue}}},
    };
    for (const DrawCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryBitmap bitmap(c.width, c.height);
        ASSERT_EQ(DrawInto(control, bitmap, RECTL{0, 0, c.width, c.height}), S_OK);
        for (const PixelCase& p : c.pixels)
            EXPECT_EQ(bitmap.Pixel(p.x, p.y), p.rgb) << "at " << p.x << "," << p.y;
    }
}

TEST(ControlRendering, DrawStaysInsideItsRectangle) {
    HostedControl control(false);
    ASSERT_EQ(control.Put(L"Movie", Variant(ShapeMovie().c_str())), S_OK);
    MemoryBitmap bitmap(300, 200);
    ASSERT_EQ(DrawInto(control, bitmap, RECTL{50, 50, 250, 150}), S_OK);
    EXPECT_EQ(bitmap.Pixel(10, 10), kGreen);
    EXPECT_EQ(bitmap.Pixel(260, 160), kGreen);
    EXPECT_EQ(bitmap.Pixel(55, 55), kBlue);
    EXPECT_EQ(bitmap.Pixel(150, 100), kRed);
}

TEST(ControlRendering, BackgroundColorReplacesTheMoviesOwn) {
    HostedControl control(false);
    ASSERT_EQ(control.Put(L"Movie", Variant(ShapeMovie().c_str())), S_OK);
    Variant color;
    ASSERT_EQ(control.Get(L"BackgroundColor", color), S_OK);
    EXPECT_EQ(color.Text(), std::to_wstring(kBlue));
    ASSERT_EQ(control.Put(L"BackgroundColor", Variant(0xFFFF00L)), S_OK);
    MemoryBitmap bitmap(200, 100);
    ASSERT_EQ(DrawInto(control, bitmap, RECTL{0, 0, 200, 100}), S_OK);
    EXPECT_EQ(bitmap.Pixel(5, 5), 0xFFFF00u);
    EXPECT_EQ(bitmap.Pixel(100, 50), kRed);
}

TEST(ControlRendering, TransparentModeDrawsOnlyTheShapesOverTheHostsPixels) {
    HostedControl control(false);
    ASSERT_EQ(control.Put(L"Movie", Variant(ShapeMovie().c_str())), S_OK);
    ASSERT_EQ(control.Put(L"WMode", Variant(L"transparent")), S_OK);
    MemoryBitmap bitmap(200, 100);
    ASSERT_EQ(DrawInto(control, bitmap, RECTL{0, 0, 200, 100}), S_OK);
    EXPECT_EQ(bitmap.Pixel(5, 5), kGreen);
    EXPECT_EQ(bitmap.Pixel(100, 50), kRed);

    ASSERT_EQ(control.Put(L"WMode", Variant(L"Opaque")), S_OK);
    ASSERT_EQ(DrawInto(control, bitmap, RECTL{0, 0, 200, 100}), S_OK);
    EXPECT_EQ(bitmap.Pixel(5, 5), kBlue);
}

TEST(ControlRendering, JpegPicturesLoadIntoLevelsAboveTheMovie) {
    HostedControl control(false);
    ASSERT_EQ(control.Put(L"Movie", Variant(ShapeMovie().c_str())), S_OK);
    const uint32_t kOlive = 0x80A040;
    std::vector<uint8_t> jpeg = SolidJpeg(40, 20, kOlive);
    ASSERT_FALSE(jpeg.empty()) << "no JPEG encoder to make the test picture";
    ASSERT_EQ(jpeg[0], 0xFF);
    ASSERT_EQ(jpeg[1], 0xD8);
    std::wstring path = WriteScratchFile(L"picture.jpg", jpeg);
    ASSERT_EQ(control.Call(L"LoadMovie", {Variant(1L), Variant(path.c_str())}), S_OK);

    MemoryBitmap bitmap(200, 100);
    ASSERT_EQ(DrawInto(control, bitmap, RECTL{0, 0, 200, 100}), S_OK);
    // The picture sits at the stage's origin, one pixel per movie pixel.
    EXPECT_TRUE(Near(bitmap.Pixel(5, 5), kOlive)) << std::hex << bitmap.Pixel(5, 5);
    EXPECT_TRUE(Near(bitmap.Pixel(35, 15), kOlive)) << std::hex << bitmap.Pixel(35, 15);
    EXPECT_EQ(bitmap.Pixel(45, 5), kBlue);
    EXPECT_EQ(bitmap.Pixel(100, 50), kRed);

    // Unloading the level takes the picture away again.
    ASSERT_EQ(control.Call(L"LoadMovie", {Variant(1L), Variant(L"")}), S_OK);
    MemoryBitmap after(200, 100);
    ASSERT_EQ(DrawInto(control, after, RECTL{0, 0, 200, 100}), S_OK);
    EXPECT_EQ(after.Pixel(5, 5), kBlue);
}

TEST(ControlRendering, BadDrawArgumentsAreErrors) {
    HostedControl control(false);
    IViewObject* view = nullptr;
    ASSERT_EQ(control.unknown()->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)),
              S_OK);
    MemoryBitmap bitmap(10, 10);
    RECTL bounds{0, 0, 10, 10};
    EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, bitmap.dc(), &bounds,
                         nullptr, nullptr, 0),
              DV_E_DVASPECT);
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, nullptr, &bounds, nullptr,
                         nullptr, 0),
              E_INVALIDARG);
    // Not active: no window to take a size from.
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, bitmap.dc(), nullptr,
                         nullptr, nullptr, 0),
              E_INVALIDARG);
    view->Release();
}

TEST(ControlRendering, ActiveWindowShowsTheFrameAndIsSavedForViewing) {
    HostedControl control(true, 400, 200);
    ASSERT_EQ(control.Put(L"Movie", Variant(ShapeMovie().c_str())), S_OK);
    HWND window = control.controlWindow();
    ASSERT_NE(window, nullptr);
    // Let the frame timer tick and the window paint.
    DWORD start = GetTickCount();
    HostedControl::PumpUntil([&] { return GetTickCount() - start > 300; }, 1000);
    UpdateWindow(window);

    MemoryBitmap capture(400, 200);
    HDC windowDc = GetDC(window);
    BitBlt(capture.dc(), 0, 0, 400, 200, windowDc, 0, 0, SRCCOPY);
    ReleaseDC(window, windowDc);
    // PrintWindow asks the window to paint itself, so it works off screen too.
    MemoryBitmap printed(400, 200);
    PrintWindow(window, printed.dc(), PW_CLIENTONLY);

    std::wstring path = OutputFolder() + L"player_control_window.bmp";
    ASSERT_TRUE(SaveBitmap(path, printed.bits(), 400, 200));
    SaveBitmap(OutputFolder() + L"player_control_window_screen.bmp", capture.bits(), 400, 200);
    EXPECT_EQ(printed.Pixel(20, 20), kBlue);
    EXPECT_EQ(printed.Pixel(200, 100), kRed);
}

}  // namespace
}  // namespace kelpo::test
