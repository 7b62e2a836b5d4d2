#pragma once

#include "RecordingPresenter.h"
#include "TestDatabase.h"

#include "foundation/Configs.h"
#include "foundation/DataModule.h"
#include "foundation/UserInfo.h"

#include <QTemporaryDir>
#include <memory>

// A fresh library database behind DM1, an empty Config.ini, nobody logged in and every
// message recorded.
struct SessionFixture
{
    SessionFixture()
    {
        test = TestDatabase::create();
        dataModule = InstallDataModule(*test);
        config = std::make_unique<TConfigManager>(folder.path() + '/');
        CurrentUser = TUserInfo();
    }
    ~SessionFixture()
    {
        CurrentUser = TUserInfo();
        DM1 = nullptr;
    }

    Database& db() { return test->db(); }
    QVariant scalar(const QString& sql) { return test->db().scalar(sql); }
    void addUser(const QString& code, const QString& digest, bool locked = false, const QString& room = {})
    {
        db().exec(QStringLiteral("INSERT INTO Users_tab(UserCode, UserName, UserPwd, IsLock, Title, Dept) "
                                 "VALUES('%1', '姓名%1', '%2', %3, '%4', '办公室')")
                      .arg(code, digest)
                      .arg(locked ? 1 : 0)
                      .arg(room));
    }
    int userId(const QString& code)
    {
        return scalar(QStringLiteral("SELECT UserID FROM Users_tab WHERE UserCode = '%1'").arg(code)).toInt();
    }

    std::unique_ptr<TestDatabase> test;
    std::unique_ptr<TDM1> dataModule;
    QTemporaryDir folder;
    std::unique_ptr<TConfigManager> config;
    RecordingPresenter messages;
};
