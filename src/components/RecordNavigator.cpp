#include "RecordNavigator.h"

#include "data/DataSet.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

RecordNavigator::RecordNavigator(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const struct { const char *name; QStyle::StandardPixmap icon; const char *hint; } buttons[] = {
        {"btnFirst", QStyle::SP_MediaSkipBackward, "第一条"}, {"btnPrior", QStyle::SP_MediaSeekBackward, "上一条"},
        {"btnNext", QStyle::SP_MediaSeekForward, "下一条"}, {"btnLast", QStyle::SP_MediaSkipForward, "最后一条"}};
    for (int i = 0; i < 4; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(buttons[i].name));
        b->setIcon(style()->standardIcon(buttons[i].icon));
        b->setToolTip(QString::fromUtf8(buttons[i].hint));
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, i] { move(Step(i)); });
        m_buttons[i] = b;
    }
    updateButtons();
}

void RecordNavigator::setDataSet(DataSet *list)
{
    if (m_list) disconnect(m_list, nullptr, this, nullptr);
    m_list = list;
    if (m_list) {
        connect(m_list, &DataSet::currentRowChanged, this, &RecordNavigator::updateButtons);
        connect(m_list, &DataSet::rowsReset, this, &RecordNavigator::updateButtons);
        connect(m_list, &DataSet::opened, this, &RecordNavigator::updateButtons);
        connect(m_list, &DataSet::closed, this, &RecordNavigator::updateButtons);
    }
    updateButtons();
}

void RecordNavigator::move(Step step)
{
    if (!m_list || !m_list->isActive() || m_list->isEmpty()) return;
    switch (step) {
    case First: m_list->first(); break;
    case Prior: m_list->prior(); break;
    case Next: m_list->next(); break;
    case Last: m_list->setRecNo(m_list->recordCount() - 1); break;   // the last row, itself current
    }
    emit moved();
}

void RecordNavigator::updateButtons()
{
    const bool rows = m_list && m_list->isActive() && !m_list->isEmpty();
    const int row = rows ? m_list->recNo() : -1;
    const bool atFirst = !rows || row <= 0;
    const bool atLast = !rows || row >= m_list->recordCount() - 1;
    m_buttons[First]->setEnabled(!atFirst);
    m_buttons[Prior]->setEnabled(!atFirst);
    m_buttons[Next]->setEnabled(!atLast);
    m_buttons[Last]->setEnabled(!atLast);
}
