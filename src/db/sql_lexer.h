#pragma once
// A statement's text split into tokens the way the Firebird 3 engine splits
// it in SQL dialect 1, so that what the program checks is what the engine
// will run. The text is read as the bytes sent (Windows-1251); the source of
// a routine is read the same way (its bytes as stored).
//
// Blanks are the bytes 9, 10, 12, 13 and 32; "--" runs to the end of the
// line and "/* */" to its end, both dropped. Literals are kept as one token
// each: '...' and "..." (dialect 1: a string, not a name) with the quote
// doubled inside; q'<d>...<d>' with the paired delimiters ()[]{}<> or any
// other character; X'...' of an even number of hex digits. Numbers: 0x and
// up to 16 hex digits, or digits with one point and an exponent (see
// number() for the malformed ones). A word begins with a Latin letter
// and goes on with letters, digits, "_" and "$"; "_" before a name or a
// quote is a character set introducer of its own. Anything else (also every
// byte over 127) is a punctuation token of one byte.
//
// The time taken grows with the length of the text and no faster, whatever
// the text holds (an unclosed literal of a megabyte included).

#include <QByteArray>
#include <string>
#include <vector>

struct SqlToken {
    enum Kind { Word, Number, Literal, Punct };
    Kind kind = Punct;
    // Words in upper case; literals as written, quotes and all. Short texts
    // (every punctuation token, most words) need no memory of their own.
    std::string text;
};

std::vector<SqlToken> SqlTokens(const QByteArray &sql);
