#include "db/sql_lexer.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isHex(char c)
{
    return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool isIdent(char c)
{
    return isLetter(c) || isDigit(c) || c == '_' || c == '$';
}

class Lexer {
public:
    explicit Lexer(const QByteArray &sql) : s_(sql), n_(sql.size()) {}

    std::vector<SqlToken> run()
    {
        while (skipBlanksAndComments())
            next();
        return std::move(out_);
    }

private:
    char at(qsizetype i) const { return i < n_ ? s_[i] : '\0'; }

    void push(SqlToken::Kind kind, qsizetype from, qsizetype to)
    {
        SqlToken t;
        t.kind = kind;
        t.text.assign(s_.constData() + from, std::size_t(to - from));
        if (kind == SqlToken::Word) {
            for (char &c : t.text)
                if (c >= 'a' && c <= 'z')
                    c = char(c - 'a' + 'A');
        }
        out_.push_back(std::move(t));
        i_ = to;
    }

    // False at the end of the text. An unclosed "/*" hides the rest: the
    // engine refuses such a text anyway.
    bool skipBlanksAndComments()
    {
        while (i_ < n_) {
            const char c = s_[i_];
            if (isBlank(c)) {
                ++i_;
            } else if (c == '-' && at(i_ + 1) == '-') {
                i_ += 2;
                while (i_ < n_ && s_[i_] != '\n' && s_[i_] != '\r')
                    ++i_;
            } else if (c == '/' && at(i_ + 1) == '*') {
                const qsizetype end = s_.indexOf("*/", i_ + 2);
                i_ = end < 0 ? n_ : end + 2;
            } else {
                return true;
            }
        }
        return false;
    }

    void next()
    {
        const char c = s_[i_];
        // "_" (an introducer before a name or a quote) is punctuation of its
        // own, as below.
        if (c == '\'' || c == '"')
            return quoted(c);
        if ((c == 'x' || c == 'X') && at(i_ + 1) == '\'' && hexString())
            return;
        if ((c == 'q' || c == 'Q') && at(i_ + 1) == '\'' && i_ + 4 < n_ && alternativeString())
            return;
        if (c == '0' && (at(i_ + 1) == 'x' || at(i_ + 1) == 'X') && isHex(at(i_ + 2)) && hexNumber())
            return;
        if (isDigit(c) || (c == '.' && isDigit(at(i_ + 1))))
            return number();
        if (isLetter(c)) {
            qsizetype j = i_ + 1;
            while (j < n_ && isIdent(s_[j]))
                ++j;
            return push(SqlToken::Word, i_, j);
        }
        push(SqlToken::Punct, i_, i_ + 1);
    }

    // '...' or "...", the quote doubled inside. Unclosed: the rest of the
    // text (the engine refuses it).
    void quoted(char quote)
    {
        qsizetype j = i_ + 1;
        while (j < n_) {
            if (s_[j] == quote) {
                if (at(j + 1) != quote) {
                    ++j;
                    break;
                }
                ++j;
            }
            ++j;
        }
        push(SqlToken::Literal, i_, std::min(j, n_));
    }

    // X'...': hex digits up to the next quote, an even number of them (no
    // blanks). Anything else is not such a literal: X is then a word.
    bool hexString()
    {
        qsizetype j = i_ + 2;
        while (j < n_ && isHex(s_[j]))
            ++j;
        if (j >= n_ || s_[j] != '\'' || (j - i_) % 2 != 0)
            return false;
        push(SqlToken::Literal, i_, j + 1);
        return true;
    }

    // q'<d>...<d>': it ends at the first closing delimiter followed by a
    // quote; no doubling inside. Unclosed: q is a word.
    bool alternativeString()
    {
        char close = s_[i_ + 2];
        switch (close) {
        case '(': close = ')'; break;
        case '[': close = ']'; break;
        case '{': close = '}'; break;
        case '<': close = '>'; break;
        default: break;
        }
        const qsizetype end = closing(close, i_ + 3);
        if (end < 0)
            return false;
        push(SqlToken::Literal, i_, end + 2);
        return true;
    }

    // Where the first "<close>'" at or after from begins, -1 when nowhere.
    // Each delimiter remembers its last answer, and the text is read from
    // left to right: however many q' a text holds, each delimiter's search
    // goes over the text once.
    qsizetype closing(char close, qsizetype from)
    {
        Found &last = found_[static_cast<unsigned char>(close)];
        if (last.from >= 0 && last.from <= from && (last.at < 0 || last.at >= from))
            return last.at;
        qsizetype j = from;
        for (; j + 1 < n_; ++j) {
            if (s_[j] == close && s_[j + 1] == '\'')
                break;
        }
        last = {from, j + 1 < n_ ? j : -1};
        return last.at;
    }

    // 0x followed by up to 16 hex digits (a 64-bit number). More are not a
    // number: the engine then reads "0" and a word "X...".
    bool hexNumber()
    {
        qsizetype j = i_ + 2;
        while (j < n_ && isHex(s_[j])) {
            ++j;
            if (j - (i_ + 2) > 16)
                return false;
        }
        push(SqlToken::Number, i_, j);
        return true;
    }

    // Digits with one decimal point and an exponent. Where a number is
    // malformed ("1.2.", "1E", "1E-x") the engine takes its first character
    // as a punctuation token and reads on from the next one, which fails
    // the same way up to the fault: the characters before it (digits and
    // points, which name nothing) are taken as punctuation here at once.
    // A number begins with a digit, or a point before one, so an "E" in it
    // always follows a digit.
    void number()
    {
        bool exp = false, expSign = false, expDigit = false;
        qsizetype point = -1, expAt = -1;
        qsizetype j = i_;
        for (; j < n_; ++j) {
            const char c = s_[j];
            if (expDigit && !isDigit(c))
                break;
            if (expSign && !isDigit(c))
                break; // "1E-x": no digit after the sign
            if (exp) {
                if (c == '-' || c == '+')
                    expSign = true;
                else if (isDigit(c))
                    expDigit = expSign = true;
                else
                    break; // "1Ex"
            } else if (c == '.') {
                if (point >= 0)
                    return punctuationUpTo(point + 1);
                point = j;
            } else if (c == 'e' || c == 'E') {
                exp = true;
                expAt = j;
            } else if (!isDigit(c)) {
                break;
            }
        }
        if (exp && !expDigit)
            return punctuationUpTo(expAt);
        push(SqlToken::Number, i_, j);
    }

    void punctuationUpTo(qsizetype end)
    {
        while (i_ < end)
            push(SqlToken::Punct, i_, i_ + 1);
    }

    const QByteArray &s_;
    const qsizetype n_;
    qsizetype i_ = 0;
    std::vector<SqlToken> out_;
    struct Found {
        qsizetype from = -1; // where the search began (-1: never searched)
        qsizetype at = -1;   // what it found
    };
    Found found_[256];
};

} // namespace

std::vector<SqlToken> SqlTokens(const QByteArray &sql)
{
    return Lexer(sql).run();
}
