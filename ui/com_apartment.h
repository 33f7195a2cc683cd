#pragma once
// COM on the thread that creates it, for as long as the object lives: a single-threaded
// apartment with OLE1 DDE off, which is what the shell asks of callers of ShellExecuteW
// (shortcuts, documents and protocol handlers need it).
//   int main() { const ui::ComApartment com; ... run the windows ... }
namespace orvello::ui {

class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // False when COM refused, for example on a thread that already joined another apartment;
    // the program then runs without it, as it would have before.
    [[nodiscard]] bool IsInitialised() const { return initialised_; }

private:
    bool initialised_;
};

}  // namespace orvello::ui
