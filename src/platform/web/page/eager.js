//# allFunctionsCalledOnLoad
// (Above: Chromium compiles every function of this script while it streams
// in, on another thread, rather than each on the main thread at its first
// call; the engine's start calls most of them at once.)
