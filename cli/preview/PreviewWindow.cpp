#include "cli/preview/PreviewWindow.h"

#ifdef QXV_HAVE_SDL2

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string_view>
#include <sys/stat.h>

#include "cli/Commands.h"
#include "cli/preview/PreviewPicture.h"

namespace qxv::cli {

namespace {

using Clock = std::chrono::steady_clock;

const char kCommand[] = "preview";
// The letters the window keeps for itself; the parameters' keys take the others.
constexpr std::string_view kWindowKeys = "chpqs";
constexpr int kPanStep = 50;          // window pixels per arrow key
constexpr int kLayerOffsetStep = 10;  // composition pixels per shift+arrow

// The host's zoom steps, 6.25 % to 1600 %.
const hostsim::Zoom kZoomSteps[] = {{1, 16}, {1, 8}, {1, 4}, {1, 3}, {1, 2}, {1, 1}, {2, 1}, {4, 1}, {8, 1}, {16, 1}};

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

hostsim::Zoom NextZoom(const hostsim::Zoom& zoom, int direction) {
    if (direction > 0) {
        for (const auto& step : kZoomSteps) {
            if (step.value() > zoom.value() * 1.0001) return step;
        }
    } else {
        for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it) {
            if (it->value() < zoom.value() * 0.9999) return *it;
        }
    }
    return zoom;
}

// The largest step up to `most` at which the picture of `view` fits into `room`.
hostsim::Zoom FittingZoom(const hostsim::OverlayView& view, PF_Point layer_size, PF_Point room, double most) {
    hostsim::Zoom zoom = kZoomSteps[0];
    for (const auto& step : kZoomSteps) {
        hostsim::OverlayView trial = view;
        trial.zoom = step;
        const PF_Point canvas = hostsim::CanvasSize(trial, layer_size);
        if (step.value() <= most && canvas.h <= room.h && canvas.v <= room.v) zoom = step;
    }
    return zoom;
}

// The same source point stays under window point `at`.
hostsim::OverlayView Zoomed(hostsim::OverlayView view, const hostsim::Zoom& zoom, PF_Point at) {
    const double ratio = zoom.value() / view.zoom.value();
    view.scroll.h = static_cast<A_long>(std::lround(at.h - (at.h - view.scroll.h) * ratio));
    view.scroll.v = static_cast<A_long>(std::lround(at.v - (at.v - view.scroll.v) * ratio));
    view.zoom = zoom;
    return view;
}

struct Latency {
    std::vector<double> samples;
    void Print(std::ostream& out) const {
        if (samples.empty()) return;
        std::vector<double> sorted = samples;
        std::sort(sorted.begin(), sorted.end());
        char text[160];
        std::snprintf(text, sizeof text, "qxv preview: %zu drag events, event to redrawn window: median %.1f ms, "
                                         "90th percentile %.1f ms, worst %.1f ms\n",
                      sorted.size(), sorted[sorted.size() / 2], sorted[sorted.size() * 9 / 10], sorted.back());
        out << text;
    }
};

class PreviewWindow {
public:
    PreviewWindow(PreviewSession& preview, const PreviewWindowOptions& options) : preview_(preview), options_(options) {}
    ~PreviewWindow() {
        for (SDL_Cursor* cursor : {arrow_, hand_}) {
            if (cursor) SDL_FreeCursor(cursor);
        }
        if (shadow_) SDL_FreeSurface(shadow_);
        if (window_) SDL_DestroyWindow(window_);
        SDL_Quit();
    }
    PreviewWindow(const PreviewWindow&) = delete;
    PreviewWindow& operator=(const PreviewWindow&) = delete;

    int Run();

private:
    bool Open(std::string& error);
    bool Start(std::string& error);
    void OnEvent(SDL_Event& event, Clock::time_point received);
    // Renders (when `render`, at 1/`downsample`), sends a draw event and shows the result.
    void Redraw(bool render, int downsample);
    void Present();
    void Report(const std::string& error) { std::cerr << "qxv " << kCommand << ": " << error << "\n"; }
    void UpdateTitle();
    void UpdateCursor(PF_Point at);
    void ChangeView(const hostsim::OverlayView& view);
    void OnButtonDown(const SDL_MouseButtonEvent& button);
    void OnMotion(SDL_Event& event, Clock::time_point received);
    void OnButtonUp(const SDL_MouseButtonEvent& button, Clock::time_point received);
    void OnKey(const SDL_KeyboardEvent& key);
    // Zoom, pan, layer place and window keys; false for any other key.
    bool OnViewKey(SDL_Keycode code, bool shift);
    void SwitchHost();
    void StepParamKey(int index, int step);
    void SaveFrame();
    void MeasureDrag(const char* what, PF_Point at, Clock::time_point received, Clock::time_point rendered);

    PreviewSession& preview_;
    const PreviewWindowOptions& options_;
    SDL_Window* window_ = nullptr;
    SDL_Surface* shadow_ = nullptr;  // a 32-bit canvas when the window's surface is not one
    SDL_Cursor* arrow_ = nullptr;
    SDL_Cursor* hand_ = nullptr;
    bool over_handle_ = false;
    bool panning_ = false;
    PF_Point pan_from_{};
    bool quit_ = false;
    bool closed_ = false;  // by the window's close button
    int saved_ = 0;
    Latency latency_;
    std::vector<std::uint32_t> shown_;  // the pixels on the screen
    double draw_ms_ = 0;
    std::vector<ParamKey> param_keys_;
};

// SDL's video, on a display that can be seen: SDL would fall back to an invisible window.
bool OpenDisplay(std::string& error) {
    const auto set = [](const char* name) { return std::getenv(name) && *std::getenv(name); };
    const bool driver_chosen = set("SDL_VIDEODRIVER");
    if (!driver_chosen && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        error = "cannot open a window: no display (DISPLAY is not set); run it in a desktop session or under xvfb-run";
        return false;
    }
    if (!driver_chosen && !set("WAYLAND_DISPLAY")) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        if (set("DISPLAY")) error += std::string(" (is an X server running at DISPLAY=") + std::getenv("DISPLAY") + "?)";
        return false;
    }
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    if (!driver_chosen && (driver == "offscreen" || driver == "dummy")) {
        error = "cannot open a window: no display could be reached (DISPLAY=" +
                std::string(set("DISPLAY") ? std::getenv("DISPLAY") : "") + ")";
        return false;
    }
    return true;
}

bool PreviewWindow::Open(std::string& error) {
    if (!OpenDisplay(error)) return false;
    OverlayWorkspace& workspace = preview_.workspace;
    const PF_Point layer_size{workspace.layer->width(), workspace.layer->height()};
    SDL_Rect screen{0, 0, 1280, 800};
    SDL_GetDisplayUsableBounds(0, &screen);
    if (options_.fit_zoom) {
        // As a host opens a window: the largest step up to 100 % at which the picture fits the screen.
        hostsim::OverlayView view = workspace.view;
        view.zoom = FittingZoom(view, layer_size, PF_Point{screen.w * 9 / 10, screen.h * 9 / 10}, 1);
        SetPreviewView(preview_, view);
    }
    const PF_Point canvas = hostsim::CanvasSize(workspace.view, layer_size);
    const int width = std::clamp<int>(canvas.h, 160, std::max(160, screen.w));
    const int height = std::clamp<int>(canvas.v, 120, std::max(120, screen.h));
    window_ = SDL_CreateWindow("qxv preview", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_RESIZABLE);
    if (!window_) {
        error = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    arrow_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
    hand_ = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    return true;
}

void PreviewWindow::Redraw(bool render, int downsample) {
    std::string error;
    if (render && !RenderPreview(preview_, downsample, error)) Report(error);
    const auto start = Clock::now();
    if (!DrawPreviewOverlay(preview_, error)) Report(error);
    Present();
    draw_ms_ = Milliseconds(Clock::now() - start);
}

void PreviewWindow::Present() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface) return;
    SDL_Surface* canvas = surface;
    if (surface->format->BytesPerPixel != 4) {
        if (!shadow_ || shadow_->w != surface->w || shadow_->h != surface->h) {
            if (shadow_) SDL_FreeSurface(shadow_);
            shadow_ = SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32, SDL_PIXELFORMAT_RGB888);
            if (!shadow_) return;
        }
        canvas = shadow_;
    }
    SDL_LockSurface(canvas);
    WindowPixels pixels;
    pixels.width = canvas->w;
    pixels.height = canvas->h;
    pixels.pitch = canvas->pitch;
    pixels.pixels = static_cast<std::uint8_t*>(canvas->pixels);
    pixels.red_shift = canvas->format->Rshift;
    pixels.green_shift = canvas->format->Gshift;
    pixels.blue_shift = canvas->format->Bshift;
    const OverlayWorkspace& workspace = preview_.workspace;
    if (preview_.frame) {
        DrawFrame(workspace.view, {workspace.layer->width(), workspace.layer->height()}, *preview_.frame,
                  preview_.frame_downsample, pixels);
    }
    DrawOverlayStrokes(workspace.events->drawbot().strokes(), workspace.events->drawbot().theme, pixels);
    const std::vector<PixelRect> changed = ChangedRects(pixels, shown_);
    SDL_UnlockSurface(canvas);
    if (canvas != surface) SDL_BlitSurface(canvas, nullptr, surface, nullptr);
    if (changed.empty()) return;
    std::vector<SDL_Rect> rects;
    for (const PixelRect& r : changed) rects.push_back({r.x, r.y, r.w, r.h});
    SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size()));
}

void PreviewWindow::UpdateTitle() {
    const std::string name = preview_.options.input.empty() ? "blank layer" : preview_.options.input;
    SDL_SetWindowTitle(window_, ("qxv preview - " + name + " - " + PreviewStatus(preview_)).c_str());
}

void PreviewWindow::UpdateCursor(PF_Point at) {
    const bool over = preview_.holding || HandleNear(preview_, at) != 0;
    if (over != over_handle_ && arrow_ && hand_) SDL_SetCursor(over ? hand_ : arrow_);
    over_handle_ = over;
}

void PreviewWindow::ChangeView(const hostsim::OverlayView& view) {
    if (preview_.holding) return;
    SetPreviewView(preview_, view);
    Redraw(false, 1);
    UpdateTitle();
}

void PreviewWindow::MeasureDrag(const char* what, PF_Point at, Clock::time_point received,
                                Clock::time_point rendered) {
    const double total = Milliseconds(Clock::now() - received);
    latency_.samples.push_back(total);
    if (!options_.measure) return;
    char text[200];
    std::snprintf(text, sizeof text,
                  "qxv preview: %s to %d,%d: redrawn in %.1f ms (render at 1/%d %.1f ms, overlay and window %.1f ms)\n",
                  what, static_cast<int>(at.h), static_cast<int>(at.v), total, preview_.frame_downsample,
                  Milliseconds(rendered - received), draw_ms_);
    std::cerr << text;
}

void PreviewWindow::OnButtonDown(const SDL_MouseButtonEvent& button) {
    const PF_Point at{button.x, button.y};
    if (button.button == SDL_BUTTON_RIGHT || button.button == SDL_BUTTON_MIDDLE) {
        panning_ = !preview_.holding;
        pan_from_ = at;
        return;
    }
    if (button.button != SDL_BUTTON_LEFT || panning_) return;
    std::string error;
    if (!PressMouse(preview_, at, error)) Report(error);
    UpdateCursor(at);
}

void PreviewWindow::OnMotion(SDL_Event& event, Clock::time_point received) {
    // Only the latest position of a run of moves counts: the host never falls behind the mouse.
    // A move queued behind a release or a key stays behind it.
    SDL_Event next;
    while (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
           next.type == SDL_MOUSEMOTION && SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
    }
    const PF_Point at{event.motion.x, event.motion.y};
    if (panning_) {
        hostsim::OverlayView view = preview_.workspace.view;
        view.scroll.h += at.h - pan_from_.h;
        view.scroll.v += at.v - pan_from_.v;
        pan_from_ = at;
        ChangeView(view);
        return;
    }
    if (!preview_.holding) {
        UpdateCursor(at);
        return;
    }
    bool changed = false;
    std::string error;
    if (!DragMouse(preview_, at, false, changed, error)) Report(error);
    if (!changed) return;
    const int downsample = preview_.drag_downsample;
    std::string render_error;
    if (!RenderPreview(preview_, downsample, render_error)) Report(render_error);
    const auto rendered = Clock::now();
    Redraw(false, downsample);
    MeasureDrag("drag", at, received, rendered);
    UpdateTitle();
}

void PreviewWindow::OnButtonUp(const SDL_MouseButtonEvent& button, Clock::time_point received) {
    const PF_Point at{button.x, button.y};
    if (button.button == SDL_BUTTON_RIGHT || button.button == SDL_BUTTON_MIDDLE) {
        panning_ = false;
        return;
    }
    if (button.button != SDL_BUTTON_LEFT || !preview_.holding) return;
    bool changed = false;
    std::string error;
    if (!DragMouse(preview_, at, true, changed, error)) Report(error);
    // The release always leaves the full-resolution frame, changed or not.
    std::string render_error;
    if (!RenderPreview(preview_, 1, render_error)) Report(render_error);
    const auto rendered = Clock::now();
    Redraw(false, 1);
    MeasureDrag("release", at, received, rendered);
    UpdateTitle();
    UpdateCursor(at);
}

void PreviewWindow::SaveFrame() {
    std::string error;
    if (preview_.frame_downsample != 1 && !RenderPreview(preview_, 1, error)) {
        Report(error);
        return;
    }
    std::string path;
    struct stat info {};
    do {
        path = options_.save_dir + "/qxv-preview-" + std::to_string(++saved_) + ".png";
    } while (stat(path.c_str(), &info) == 0);
    if (path.compare(0, 2, "./") == 0) path = path.substr(2);
    if (!WriteFrame(*preview_.frame, path, error)) {
        Report(error);
        return;
    }
    std::vector<std::string> notes;
    const std::string line = RenderCommandLine(preview_, path, notes);
    std::cout << "saved " << path << "; the same frame:\n    " << line << std::endl;
    for (const std::string& note : notes) std::cout << "    note: qxv render would refuse this: " << note << std::endl;
}

void PreviewWindow::OnKey(const SDL_KeyboardEvent& key) {
    const bool shift = key.keysym.mod & KMOD_SHIFT;
    const SDL_Keycode code = key.keysym.sym;
    switch (code) {
        case SDLK_q:
        case SDLK_ESCAPE: quit_ = true; return;
        case SDLK_h: SwitchHost(); return;
        case SDLK_s: SaveFrame(); return;
        case SDLK_p: std::cout << PreviewParamsJson(preview_) << std::endl; return;
        default: break;
    }
    if (OnViewKey(code, shift)) return;
    for (const ParamKey& param_key : param_keys_) {
        if (code == param_key.key) StepParamKey(param_key.index, shift ? -1 : 1);
    }
}

bool PreviewWindow::OnViewKey(SDL_Keycode code, bool shift) {
    hostsim::OverlayView view = preview_.workspace.view;
    int width = 0, height = 0;
    SDL_GetWindowSize(window_, &width, &height);
    const PF_Point centre{width / 2, height / 2};
    switch (code) {
        case SDLK_PLUS:
        case SDLK_EQUALS:
        case SDLK_KP_PLUS: view = Zoomed(view, NextZoom(view.zoom, 1), centre); break;
        case SDLK_MINUS:
        case SDLK_KP_MINUS: view = Zoomed(view, NextZoom(view.zoom, -1), centre); break;
        case SDLK_1: view.zoom = {1, 1}; view.scroll = {0, 0}; break;
        case SDLK_0: {
            // The largest step at which the whole picture fits the window, placed at the top left.
            const PF_Point layer_size{preview_.workspace.layer->width(), preview_.workspace.layer->height()};
            view.scroll = {0, 0};
            view.zoom = FittingZoom(view, layer_size, PF_Point{width, height}, kZoomSteps[std::size(kZoomSteps) - 1].value());
            break;
        }
        case SDLK_LEFT:
        case SDLK_RIGHT:
        case SDLK_UP:
        case SDLK_DOWN: {
            const int dx = code == SDLK_LEFT ? -1 : code == SDLK_RIGHT ? 1 : 0;
            const int dy = code == SDLK_UP ? -1 : code == SDLK_DOWN ? 1 : 0;
            if (shift && view.window != PF_Window_COMP) {
                Report("the layer moves in the composition window only (C switches to it)");
                return true;
            }
            PF_Point& moved = shift ? view.layer_offset : view.scroll;
            const int step = shift ? kLayerOffsetStep : -kPanStep;  // panning moves the picture the other way
            moved.h += dx * step;
            moved.v += dy * step;
            break;
        }
        case SDLK_c: view.window = view.window == PF_Window_COMP ? PF_Window_LAYER : PF_Window_COMP; break;
        default: return false;
    }
    ChangeView(view);
    return true;
}

void PreviewWindow::SwitchHost() {
    if (preview_.holding) return;
    std::string error;
    if (!SwitchPreviewHost(preview_, error)) {
        Report(error);
        return;
    }
    param_keys_ = AssignParamKeys(preview_.workspace.host().params(), kWindowKeys);
    Redraw(true, 1);
    UpdateTitle();
}

void PreviewWindow::StepParamKey(int index, int step) {
    if (preview_.holding) return;
    std::string error;
    if (!StepParam(preview_, index, step, error)) {
        Report(error);
        return;
    }
    Redraw(true, 1);
    UpdateTitle();
}

// The first frame and overlay, and what the user can do with them.
bool PreviewWindow::Start(std::string& error) {
    if (!Open(error) || !RenderPreview(preview_, 1, error)) return false;
    Redraw(false, 1);
    UpdateTitle();
    param_keys_ = AssignParamKeys(preview_.workspace.host().params(), kWindowKeys);
    std::cerr << "qxv preview: showing " << (preview_.options.input.empty() ? "a blank layer" : preview_.options.input)
              << "; drag the handles, keys as in qxv preview --help, Q or Esc closes" << std::endl;
    if (!param_keys_.empty()) {
        std::cerr << "qxv preview: keys (shift: back) " << ParamKeysText(param_keys_, preview_.workspace.host().params())
                  << std::endl;
    }
    return true;
}

void PreviewWindow::OnEvent(SDL_Event& event, Clock::time_point received) {
    switch (event.type) {
        case SDL_QUIT: quit_ = closed_ = true; break;
        case SDL_MOUSEBUTTONDOWN: OnButtonDown(event.button); break;
        case SDL_MOUSEMOTION: OnMotion(event, received); break;
        case SDL_MOUSEBUTTONUP: OnButtonUp(event.button, received); break;
        case SDL_MOUSEWHEEL: {
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            if (event.wheel.y != 0) {
                const hostsim::OverlayView& view = preview_.workspace.view;
                ChangeView(Zoomed(view, NextZoom(view.zoom, event.wheel.y > 0 ? 1 : -1), {x, y}));
            }
            break;
        }
        case SDL_KEYDOWN: OnKey(event.key); break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED || event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                shown_.clear();  // all of it goes to the screen again
                Present();
            }
            break;
        default: break;
    }
}

int PreviewWindow::Run() {
    std::string error;
    if (!Start(error)) return Fail(kCommand, error, kExitFailure);
    SDL_Event event;
    while (!quit_) {
        if (!SDL_WaitEvent(&event)) {
            Report(std::string("the window system failed: ") + SDL_GetError());
            break;
        }
        OnEvent(event, Clock::now());
    }
    std::cerr << "qxv preview: " << (closed_ ? "window closed" : "closed") << std::endl;
    if (options_.measure) latency_.Print(std::cerr);
    if (options_.print_json) std::cout << PreviewParamsJson(preview_) << std::endl;
    return kExitOk;
}

}  // namespace

int RunPreviewWindow(PreviewSession& preview, const PreviewWindowOptions& options) {
    PreviewWindow window(preview, options);
    return window.Run();
}

}  // namespace qxv::cli

#endif  // QXV_HAVE_SDL2
