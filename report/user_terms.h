#pragma once
// The program's words for the things an engineer reads about: one term for one thing in every
// window, message, report and the guide. Each term lists the variants that must not stand for
// it (a "дверь" for an opening, "время блокировки" for the blocking time) and the few fixed
// texts of the main and results windows that keep a variant as they were laid out. The guide
// prints the table as its glossary; a test reads every user text against it.

#include <string_view>
#include <vector>

namespace zfreport {

struct UserTerm {
    std::string_view Word;                   // the term as the program writes it
    std::string_view Meaning;                // what it means, one sentence for the glossary
    std::vector<std::string_view> Avoid;     // variants that must not stand for it (substrings)
    std::vector<std::string_view> Designed;  // fixed window texts that keep a variant on purpose
};

// The glossary, in the order the guide lists it.
const std::vector<UserTerm>& UserTerms();

}  // namespace zfreport
