#include "finder/QuillonStartup.h"

#include "finder/FinderService.h"
#include "finder/QuillonFrm.h"
#include "foundation/Application.h"
#include "foundation/DataModule.h"
#include "foundation/SplashFrm.h"

#include <memory>

int RunQuillon(TVelmoraApplication& app, TConfigManager& config)
{
    auto splash = std::make_unique<TSplashForm>(TSplashForm::Style::PictureOnly);
    splash->show();
    splash->repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QApplication::setApplicationName(QString());

    TDM1 dataModule;
    DM1 = &dataModule;
    if (!dataModule.ConnDB(config)) {
        DM1 = nullptr;
        return 1;
    }

    int status = 0;
    {
        TFinderService service;
        // Counting a large catalogue must not hold back the first screen of titles.
        service.setBackgroundCount(CurrentDB.ConnectionString);
        TQuillonForm form(&service);
        form.show();
        splash.reset();
        status = app.exec();
    }
    DM1 = nullptr;
    return status;
}
