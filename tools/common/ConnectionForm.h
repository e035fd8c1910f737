#pragma once
// The engine, server, port, database and password fields that both set-up
// tools ask for.

#include "data/Dialect.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QSpinBox;

class ConnectionForm : public QWidget {
public:
    explicit ConnectionForm(QWidget *parent = nullptr);

    void setSettings(const ConnectionSettings &s);
    // Server and database trimmed as typed.
    ConnectionSettings settings() const;
    // Asks for a database name when there is none; false keeps the focus on it.
    bool checkDatabaseName();

    QComboBox *cbbDriver;
    QLineEdit *edtServer;
    QSpinBox *spnPort;
    QLineEdit *edtDatabase;
    QLineEdit *edtUser;
    QLineEdit *edtPassWord;

private:
    void cbbDriverChange();
};
