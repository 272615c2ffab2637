#include "words/visited_words.h"

void CVisitedWords::Visit(const QString& word) {
    if (word.isEmpty() || word == Current()) return;
    if (!m_words.empty()) m_words.resize(m_nCurrent + 1);
    m_words.push_back(word);
    if (m_words.size() > kWordLimit) m_words.erase(m_words.begin());
    m_nCurrent = m_words.size() - 1;
}

std::optional<QString> CVisitedWords::Back() {
    if (m_words.empty() || m_nCurrent == 0) return std::nullopt;
    return m_words[--m_nCurrent];
}

std::optional<QString> CVisitedWords::Forward() {
    if (m_nCurrent + 1 >= m_words.size()) return std::nullopt;
    return m_words[++m_nCurrent];
}

QString CVisitedWords::Current() const {
    return m_words.empty() ? QString() : m_words[m_nCurrent];
}
