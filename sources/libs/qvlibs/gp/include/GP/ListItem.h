// One node of a doubly linked list that owns its values in place (the rectangles of a region).
#pragma once

namespace QV::GP::DETAIL {

template <class T>
struct ListItem {
    ListItem* pPrev;
    ListItem* pNext;
    T value;
};

}  // namespace QV::GP::DETAIL
