#pragma once
// Precompiled for every Qt-based target: the headers nearly every file includes.
#include <QtCore>
#include <functional>
#include <memory>
#include <optional>
#include <vector>
