#pragma once
// What the author's preview keeps beside the window: where it starts, the
// place it is bringing to the screen, and the place that an error waiting for
// its fix will bring back.

#include <optional>

#include "app/CommandLine.h"
#include "app/Fom.h"
#include "platform/system/Dispatch.h"

// A page to bring to the screen: the scene, the line that is first on it
// and, when known, that line's text, by which it is found again in a script
// that has since gained or lost lines above it.
struct PagePlace {
    platform::Text scene;
    std::int64_t line = 0;
    std::optional<platform::Text> text;
};

struct PreviewState {
    // Takes over the fault policy for as long as the preview lives.
    PreviewState(Fom& fom, PreviewRequest start);
    ~PreviewState();
    PreviewState(const PreviewState&) = delete;
    PreviewState& operator=(const PreviewState&) = delete;

    PreviewRequest start;
    bool started = false;
    // The scene and line whose page is being brought to the screen, and the
    // ones an error waiting for its fix will bring.
    std::optional<PagePlace> bringing;
    std::optional<PagePlace> waiting;

  private:
    platform::Dispatcher::FaultHandler earlierPolicy_;
};
