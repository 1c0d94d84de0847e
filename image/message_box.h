#pragma once
// The modal message box every layer reports through. The owner is the main window for every
// box the patch run shows; the date code dialog owns its own boxes and shows them itself.

#include <string_view>

namespace tav {

enum class MessageIcon { None, Warning, Information };
enum class MessageButtons { Ok, OkCancel, RetryCancel };
enum class MessageAnswer { Ok, Cancel, Retry };

class MessageBoxHost {
 public:
  virtual ~MessageBoxHost() = default;
  // Shows the box and returns the button the technician chose. A box with only OK returns Ok.
  virtual MessageAnswer ShowMessage(std::string_view text, std::string_view caption,
                                    MessageIcon icon, MessageButtons buttons) = 0;
};

}  // namespace tav
