#pragma once
// The program's private window messages, carried as Qt events. Posting one queues it
// behind the events already waiting, as posting a message does.

#include <QCoreApplication>
#include <QEvent>

namespace ui {

inline constexpr int UM_STARTUP = 0x0541;  // start-up step of the frame, then of each pane

class WindowMessage : public QEvent {
 public:
  static QEvent::Type TypeOf(int message) {
    return static_cast<QEvent::Type>(QEvent::User + message);
  }

  explicit WindowMessage(int message, void* lParam = nullptr)
      : QEvent(TypeOf(message)), message_(message), lParam_(lParam) {}

  int Message() const { return message_; }
  void* LParam() const { return lParam_; }

 private:
  int message_;
  void* lParam_;
};

// Whether `event` is the window message `message`.
inline bool IsMessage(const QEvent* event, int message) {
  return event->type() == WindowMessage::TypeOf(message);
}

inline void PostWindowMessage(QObject* receiver, int message, void* lParam = nullptr) {
  QCoreApplication::postEvent(receiver, new WindowMessage(message, lParam));
}

}  // namespace ui
