#pragma once

#include <QString>

// The logged-in user. UserID -1 and an empty UserCode mean nobody is logged in.
struct TUserInfo
{
    int UserID = -1;
    QString UserCode;
    QString UserPwd;
    QString UserName;
    QString BookRoom;  // a non-blank room binds the user to that book room
    QString Dept;
};

// The session of the running program, filled by the login.
extern TUserInfo CurrentUser;
