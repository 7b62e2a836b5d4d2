#pragma once

class TConfigManager;
class TVelmoraApplication;

// Velmora's start-up: splash with its steps, connection, main window, event loop.
// Returns the exit status; a failed connection ends it after the one error box.
int RunVelmora(TVelmoraApplication& app, TConfigManager& config);
