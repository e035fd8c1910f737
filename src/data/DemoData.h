#pragma once
// A realistic sample archive for trying the program out and for measuring it:
// customers with their sales, plus repairs, return visits and complaints.

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>

class Connection;

namespace DemoData {

struct Options {
    int customers = 2000;
    quint32 seed = 20261210;   // the same seed gives the same archive
};

// Appends the sample rows in one transaction (nothing is left behind on
// failure). Codes continue after the highest eight-digit code present.
// `progress` is called now and then with rows written so far and the rows
// planned (the plan firms up once the customers are written).
bool generate(Connection &cnn, const Options &options, QString *error,
              std::function<void(int done, int total)> progress = {});

// The operators the sample rows are made by (besides admin).
QStringList demoOperators();

} // namespace DemoData
