#pragma once
// What the author's preview keeps beside the window: where it starts, the
// place it is bringing to the screen, and the place that an error waiting for
// its fix will bring back.

#include <optional>

#include "app/Fom.h"
#include "platform/system/Dispatch.h"

struct PreviewState {
    // Takes over the fault policy for as long as the preview lives.
    PreviewState(Fom& fom, Fom::Place start);
    ~PreviewState();
    PreviewState(const PreviewState&) = delete;
    PreviewState& operator=(const PreviewState&) = delete;

    Fom::Place start;
    bool started = false;
    std::optional<Fom::Place> bringing;
    std::optional<Fom::Place> waiting;

  private:
    platform::Dispatcher::FaultHandler earlierPolicy_;
};
