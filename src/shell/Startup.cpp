#include "shell/Startup.h"

#include "foundation/Application.h"
#include "foundation/DataModule.h"
#include "foundation/SplashFrm.h"
#include "shell/MainFrm.h"

int RunVelmora(TVelmoraApplication& app, TConfigManager& config)
{
    TSplashForm splash;
    splash.show();
    splash.SetProgress(QStringLiteral("正在初始化"));
    QApplication::setApplicationName(QStringLiteral("Aurel图书馆管理系统 2022"));

    splash.SetProgress(QStringLiteral("正在连接数据库"));
    TDM1 dataModule;
    DM1 = &dataModule;
    if (!dataModule.ConnDB(config)) {
        DM1 = nullptr;
        return 1;
    }

    splash.SetProgress(QStringLiteral("正在创建窗体"));
    int status = 0;
    {
        TMainForm mainForm(config);
        splash.close();
        mainForm.show();
        status = app.exec();
    }
    DM1 = nullptr;
    return status;
}
