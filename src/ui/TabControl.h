#pragma once

#include <QWidget>

class QStyle;
class QTabBar;

// Three tabs in one row over pages that share the control's own coordinates, so
// that the controls of a page are placed relative to the whole tab control, tab
// strip included, and only the selected page's controls show.
class TabControl : public QWidget
{
    Q_OBJECT
public:
    explicit TabControl(QWidget* parent = nullptr);

    // A page covering the whole control; its children stay clear of the strip by position.
    QWidget* addPage(const QString& caption, const QString& pageName);
    // The style of the panel below the strip and of the frames placed on it: opaque
    // etched lines over the control's own background.
    static QStyle* panelStyle();
    QTabBar* tabBar() const { return m_bar; }
    QWidget* page(int index) const;
    int currentIndex() const;
    void setCurrentIndex(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPage(int index);

    QTabBar* m_bar;
    QList<QWidget*> m_pages;
};
