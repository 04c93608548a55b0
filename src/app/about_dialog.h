#pragma once

#include <QDialog>

// Product, version and support lines; OK closes it.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};
