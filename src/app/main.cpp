#include "foundation/Application.h"
#include "foundation/Configs.h"
#include "shell/Startup.h"

int main(int argc, char* argv[])
{
    TVelmoraApplication app(argc, argv);
    return RunVelmora(app, ConfigManager());
}
