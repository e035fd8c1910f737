#pragma once
#include <QStringList>

// Common start of every program: the program folder from --home or
// CLSERVICE_HOME, Qt's own texts in Chinese and, for windowed programs,
// the Chinese font.
void initApplication(const QStringList &args);
