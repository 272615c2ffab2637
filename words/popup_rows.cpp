#include "words/popup_rows.h"

QVariant CPopupRows::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    switch (KindOf(index.row())) {
        case PopupRow::kTitle:
            return m_strTitle;
        case PopupRow::kMark:
            return kMarkRow;
        case PopupRow::kUnmark:
            return kUnmarkRow;
        case PopupRow::kClearAll:
            return kClearAllRow;
        case PopupRow::kWord:
            return WordAt(index.row());
        default:
            return {};
    }
}
