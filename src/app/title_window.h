#pragma once

#include <QWidget>

// The title window: product name and version for two seconds, then `finished`.
class TitleWindow : public QWidget {
    Q_OBJECT
public:
    explicit TitleWindow(QWidget* parent = nullptr);
    static constexpr int ShownMilliseconds = 2000;

signals:
    void Finished();
};
