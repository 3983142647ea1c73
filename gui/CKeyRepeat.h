// The key repetition of the text dialogs: the key last pressed is sent again
// 11 frames after its press and every 3 frames after that, until released.
#pragma once

class CKeyRepeat {
public:
    static constexpr int kFirstRepeat = 11;
    static constexpr int kRestart = 8;

    // Every key event of the dialog: a press of another key makes it the
    // repeated key, the release of the repeated key ends the repetition.
    void Note(bool released, int key);
    // Once a frame: true when the held key is due to be sent again.
    bool Step();
    // The held key, -1 for none.
    int Key() const { return key_; }
    int Count() const { return count_; }

private:
    int key_ = -1;
    int count_ = 0;
};
