#include "gui/CKeyRepeat.h"

void CKeyRepeat::Note(bool released, int key) {
    if (!released && key != key_) {
        key_ = key;
        count_ = 0;
    } else if (released && key == key_) {
        key_ = -1;
        count_ = 0;
    }
}

bool CKeyRepeat::Step() {
    if (key_ == -1) return false;
    if (++count_ < kFirstRepeat) return false;
    count_ = kRestart;
    return true;
}
