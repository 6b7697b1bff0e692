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
        t.text = s_.mid(from, to - from);
        if (kind == SqlToken::Word)
            t.text = t.text.toUpper();
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
        if (c == '_' && (isIdent(at(i_ + 1)) || at(i_ + 1) == '\'' || at(i_ + 1) == '"'))
            return push(SqlToken::Punct, i_, i_ + 1); // introducer
        if (c == '\'' || c == '"')
            return quoted(c);
        if ((c == 'x' || c == 'X') && at(i_ + 1) == '\'' && hexString())
            return;
        if ((c == 'q' || c == 'Q') && at(i_ + 1) == '\'' && i_ + 4 < n_ && alternativeString())
            return;
        if (c == '0' && (at(i_ + 1) == 'x' || at(i_ + 1) == 'X') && isHex(at(i_ + 2)) && hexNumber())
            return;
        if ((isDigit(c) || (c == '.' && isDigit(at(i_ + 1)))) && number())
            return;
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

    // X'...': hex digits and blanks up to the next quote, an even number of
    // digits. Anything else is not such a literal: X is then a word.
    bool hexString()
    {
        qsizetype j = i_ + 2;
        int digits = 0;
        while (j < n_ && s_[j] != '\'') {
            if (s_[j] != ' ') {
                if (!isHex(s_[j]))
                    return false;
                ++digits;
            }
            ++j;
        }
        if (j >= n_ || digits % 2 != 0)
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
        for (qsizetype j = i_ + 3; j + 1 < n_; ++j) {
            if (s_[j] == close && s_[j + 1] == '\'') {
                push(SqlToken::Literal, i_, j + 2);
                return true;
            }
        }
        return false;
    }

    // 0x followed by up to 32 hex digits.
    bool hexNumber()
    {
        qsizetype j = i_ + 2;
        while (j < n_ && isHex(s_[j])) {
            ++j;
            if (j - (i_ + 2) > 32)
                return false;
        }
        push(SqlToken::Number, i_, j);
        return true;
    }

    // Digits with one decimal point and an exponent. A malformed number
    // leaves its first character alone as a punctuation token, as the
    // engine does.
    bool number()
    {
        bool digit = false, point = false, exp = false, expSign = false, expDigit = false;
        qsizetype j = i_;
        for (; j < n_; ++j) {
            const char c = s_[j];
            if (expDigit && !isDigit(c))
                break;
            if (expSign && !isDigit(c))
                return false;
            if (exp) {
                if (c == '-' || c == '+')
                    expSign = true;
                else if (isDigit(c))
                    expDigit = expSign = true;
                else
                    return false;
            } else if (c == '.') {
                if (point)
                    return false;
                point = true;
            } else if (isDigit(c)) {
                digit = true;
            } else if ((c == 'e' || c == 'E') && digit) {
                exp = true;
            } else {
                break;
            }
        }
        if (exp && !expDigit)
            return false;
        push(SqlToken::Number, i_, j);
        return true;
    }

    const QByteArray &s_;
    const qsizetype n_;
    qsizetype i_ = 0;
    std::vector<SqlToken> out_;
};

} // namespace

std::vector<SqlToken> SqlTokens(const QByteArray &sql)
{
    return Lexer(sql).run();
}
