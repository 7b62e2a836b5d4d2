#pragma once

class TConfigManager;
class TVelmoraApplication;

// The kiosk's start-up: the picture splash on top, the connection, the kiosk window, the
// event loop. Returns the exit status; a failed connection ends it after the one error box.
int RunQuillon(TVelmoraApplication& app, TConfigManager& config);
