#pragma once
// What the author's preview keeps beside the window: where it starts, the
// place it is bringing to the screen, and the place that an error waiting for
// its fix will bring back.

#include <optional>

#include "app/CommandLine.h"
#include "app/Fom.h"
#include "platform/system/Dispatch.h"

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
    std::optional<PreviewRequest> bringing;
    std::optional<PreviewRequest> waiting;

  private:
    platform::Dispatcher::FaultHandler earlierPolicy_;
};
