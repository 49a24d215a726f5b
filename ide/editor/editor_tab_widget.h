// The editor tab control: a tab widget whose tab labels can be marked bold (the project's
// main file).
#pragma once

#include <QTabBar>
#include <QTabWidget>

class MarkedTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit MarkedTabBar(QWidget* parent = nullptr);
    bool isMarked(int index) const;
    void setMarked(int index, bool marked);

protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
};

class EditorTabWidget : public QTabWidget {
    Q_OBJECT
public:
    explicit EditorTabWidget(QWidget* parent = nullptr);
    MarkedTabBar* markedTabBar() const { return bar_; }

private:
    MarkedTabBar* bar_;
};
