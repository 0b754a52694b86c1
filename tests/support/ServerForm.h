// Drives the Destination Server and Destination Table boxes of a main window as a user does.
#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QLineEdit;
class QPushButton;
class QWidget;

class ServerForm final {
public:
    explicit ServerForm(QWidget& form1);

    QLineEdit& Server() const { return *server_; }
    QLineEdit& User() const { return *user_; }
    QLineEdit& Password() const { return *password_; }
    QComboBox& Databases() const { return *databases_; }
    QComboBox& Tables() const { return *tables_; }
    QPushButton& ConnectButton() const { return *connect_; }
    QPushButton& ImportButton() const { return *import_; }

    // Replaces the three texts by typing them, then clicks Connect.
    void Connect(const QString& server, const QString& user, const QString& password);
    // Picks the entry in the box's pop-up; fails the test when it is not listed.
    static void Choose(QComboBox& box, const QString& name);
    void ChooseDatabase(const QString& name) { Choose(*databases_, name); }
    void ChooseTable(const QString& name) { Choose(*tables_, name); }
    // Types into the table box after what is there.
    void TypeTable(const QString& text);

    static QStringList Items(const QComboBox& box);

private:
    QLineEdit* server_;
    QLineEdit* user_;
    QLineEdit* password_;
    QPushButton* connect_;
    QComboBox* databases_;
    QComboBox* tables_;
    QPushButton* import_;
};
