#include "config/password_prompt.h"

#include "common/text.h"

namespace corvane {

void PasswordPrompt::ok() {
    m_result = trim(m_text);
    m_open = false;
}

void PasswordPrompt::cancel() {
    m_result.reset();
    m_open = false;
}

}  // namespace corvane
