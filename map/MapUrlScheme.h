#pragma once

// Registers the program's own URL scheme that serves the map API layer and
// marker icons; must run before the application object exists.
void registerMapUrlScheme();
