#include "ui/TabControl.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

TabControl::TabControl(QWidget* parent) : QWidget(parent), m_bar(new QTabBar(this))
{
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->setFocusPolicy(Qt::TabFocus);
    connect(m_bar, &QTabBar::currentChanged, this, &TabControl::showPage);
}

QWidget* TabControl::addPage(const QString& caption, const QString& pageName)
{
    auto* page = new QWidget(this);
    page->setObjectName(pageName);
    page->setGeometry(rect());
    m_pages.append(page);
    m_bar->addTab(caption);
    // The strip stays above every page so that its tabs can always be clicked.
    m_bar->raise();
    showPage(m_bar->currentIndex());
    return page;
}

QStyle* TabControl::panelStyle()
{
    // Fusion draws these panels with translucent highlights over the whole area, which
    // the raster engine blends span by span on a thread pool: the first paint then
    // waited on two new threads. The classic style's lines are opaque.
    static QPointer<QStyle> classic;
    if (!classic) {
        classic = QStyleFactory::create(QStringLiteral("Windows"));
        if (classic)
            classic->setParent(qApp);
    }
    return classic;
}

QWidget* TabControl::page(int index) const
{
    return m_pages.value(index);
}

int TabControl::currentIndex() const
{
    return m_bar->currentIndex();
}

void TabControl::setCurrentIndex(int index)
{
    m_bar->setCurrentIndex(index);
}

void TabControl::showPage(int index)
{
    for (int i = 0; i < m_pages.size(); ++i)
        m_pages[i]->setVisible(i == index);
}

void TabControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_bar->setGeometry(0, 0, width(), m_bar->sizeHint().height());
    for (QWidget* page : std::as_const(m_pages))
        page->setGeometry(rect());
}

void TabControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    const int strip = m_bar->sizeHint().height();
    frame.rect = rect().adjusted(0, strip - 1, 0, 0);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = m_bar->sizeHint();
    frame.tabBarRect = QRect(0, 0, m_bar->sizeHint().width(), strip);
    QStyle* panel = panelStyle();
    (panel ? panel : style())->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);
}
