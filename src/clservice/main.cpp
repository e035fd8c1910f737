#include "StartUp.h"

#include "app/Application.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    initApplication(QApplication::arguments());
    StartUp startUp;
    return startUp.run();
}
