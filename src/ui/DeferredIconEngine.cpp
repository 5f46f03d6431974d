#include "ui/DeferredIconEngine.h"

QIcon DeferredIconEngine::icon(Factory make)
{
    return QIcon(new DeferredIconEngine(std::move(make)));
}

DeferredIconEngine::DeferredIconEngine(Factory make) : m_make(std::move(make)) {}

const QIcon& DeferredIconEngine::made()
{
    if (!m_made) {
        m_icon = m_make();
        m_made = true;
    }
    return m_icon;
}

void DeferredIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                               QIcon::State state)
{
    made().paint(painter, rect, Qt::AlignCenter, mode, state);
}

QSize DeferredIconEngine::actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    return made().actualSize(size, mode, state);
}

QPixmap DeferredIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state)
{
    return made().pixmap(size, mode, state);
}

QPixmap DeferredIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                                         qreal scale)
{
    return made().pixmap(size, scale, mode, state);
}

QList<QSize> DeferredIconEngine::availableSizes(QIcon::Mode mode, QIcon::State state)
{
    return made().availableSizes(mode, state);
}

QString DeferredIconEngine::key() const
{
    return QStringLiteral("DeferredIconEngine");
}

QIconEngine* DeferredIconEngine::clone() const
{
    auto* copy = new DeferredIconEngine(m_make);
    copy->m_icon = m_icon;
    copy->m_made = m_made;
    return copy;
}
