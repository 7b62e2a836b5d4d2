#include "foundation/UserInfo.h"

TUserInfo CurrentUser;
