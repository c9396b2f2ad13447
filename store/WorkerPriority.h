#pragma once

// Lets the calling worker thread yield to the window and the map page: a
// whole read of a large table may keep every core busy for seconds.
void lowerWorkerPriority();
