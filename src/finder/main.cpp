#include "finder/QuillonStartup.h"
#include "foundation/Application.h"
#include "foundation/Configs.h"

int main(int argc, char* argv[])
{
    TVelmoraApplication app(argc, argv);
    return RunQuillon(app, ConfigManager());
}
