#pragma once
// Deterministic mutation of valid inputs, for tests that readers of user
// files survive damaged bytes: each reader may refuse an input with its own
// exception (a plat::Exception), but must never crash, hang, trip a sanitizer
// or throw anything else.
//
// Set SORVAMET_MUTATION_DUMP=<file> to have every input written there just
// before it is fed, so that the input that crashed the program can be found;
// SORVAMET_MUTATION_VERBOSE=1 prints every refusal with its reason;
// SORVAMET_MUTATION_SCALE=<n> runs n times as many mutations, for a longer
// search by hand (ASAN_OPTIONS=max_allocation_size_mb=300 also shows
// absurd allocations).

#include "Exceptions.h"

#include <QByteArray>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <random>
#include <vector>

namespace mutation {

// Tokens that tend to reach the corners of text formats.
inline std::vector<QByteArray> textTokens()
{
    return {"<",        ">",           "\"",          "'",          "&",           "&#",         "&#x",
            "&#0;",     "&#99999999;", "&#xFFFFFFFF;", "&#-1;",      "&lt",         "&amp;",      "</",
            "/>",       "<!--",        "-->",         "<?",         "?>",          "=",          "\\",
            "\r",       "\n",          "\t",          "[",          "]",           ";",          "\0",
            "\xC3",     "\xFF",        "\xEF\xBB\xBF", "-1",        "0",           "2147483648", "-2147483649",
            "99999999999999999999", "1e308", "1e999", "NaN", "$", "0x", "$FFFFFFFF"};
}

// Interesting values for binary formats: lengths and counts at their edges.
inline std::vector<QByteArray> binaryTokens()
{
    return {QByteArray("\x00", 1),
            QByteArray("\xFF", 1),
            QByteArray("\x7F", 1),
            QByteArray("\x80", 1),
            QByteArray("\xFF\xFF", 2),
            QByteArray("\x00\x80", 2),
            QByteArray("\xFF\xFF\xFF\xFF", 4),
            QByteArray("\xFF\xFF\xFF\x7F", 4),
            QByteArray("\x00\x00\x00\x80", 4),
            QByteArray("\x00\x00\x01\x00", 4),
            QByteArray("\x01\x00\x00\x00", 4)};
}

class Mutator {
public:
    Mutator(std::uint32_t seed, std::vector<QByteArray> tokens) : m_rng(seed), m_tokens(std::move(tokens)) {}

    // One to four edits of the input.
    QByteArray mutate(QByteArray b)
    {
        const int edits = 1 + int(m_rng() % 4);
        for (int i = 0; i < edits; ++i)
            edit(b);
        return b;
    }

private:
    qsizetype pos(const QByteArray& b, qsizetype extra = 0) { return qsizetype(m_rng() % quint32(b.size() + extra)); }

    void edit(QByteArray& b)
    {
        if (b.isEmpty()) {
            b = token();
            return;
        }
        switch (m_rng() % 8) {
        case 0: // random byte
            b[pos(b)] = char(m_rng());
            break;
        case 1: // bit flip
            b[pos(b)] ^= char(1u << (m_rng() % 8));
            break;
        case 2: { // token inserted
            // The token is drawn first, in its own statement: the order of a
            // call's arguments differs between compilers, and the same seed
            // must give the same mutations with each of them.
            const QByteArray t = token();
            b.insert(pos(b, 1), t);
            break;
        }
        case 3: { // token overwriting
            const QByteArray t = token();
            const qsizetype at = pos(b);
            b.replace(at, qMin(t.size(), b.size() - at), t);
            break;
        }
        case 4: { // deletion
            const qsizetype at = pos(b);
            b.remove(at, 1 + qsizetype(m_rng() % quint32(qMin<qsizetype>(b.size() - at, 32))));
            break;
        }
        case 5: { // chunk duplicated
            const qsizetype at = pos(b);
            const qsizetype len = 1 + qsizetype(m_rng() % quint32(qMin<qsizetype>(b.size() - at, 64)));
            b.insert(pos(b, 1), b.mid(at, len));
            break;
        }
        case 6: // truncation
            b.truncate(pos(b));
            break;
        default: // a second byte near the first: keeps multi-byte fields interesting
            b[pos(b)] = char(m_rng() % 2 ? 0 : 0xFF);
            break;
        }
    }

    QByteArray token() { return m_tokens.empty() ? QByteArray(1, char(m_rng())) : m_tokens[m_rng() % m_tokens.size()]; }

    std::mt19937 m_rng;
    std::vector<QByteArray> m_tokens;
};

struct Outcome {
    int accepted = 0;
    int refused = 0; // by the reader's own exception
};

// Every truncation of each fixture (every length up to 600 bytes, a spread of
// lengths beyond), then `count` seeded mutations of each. `feed` reads one
// input; a plat::Exception counts as refused, anything else fails the test
// with the input in hexadecimal.
inline Outcome runMutations(const std::vector<QByteArray>& fixtures, int count, std::uint32_t seed,
                            const std::vector<QByteArray>& tokens, const std::function<void(const QByteArray&)>& feed)
{
    Outcome out;
    const char* dump = std::getenv("SORVAMET_MUTATION_DUMP");
    const bool verbose = std::getenv("SORVAMET_MUTATION_VERBOSE") != nullptr;
    int failures = 0;
    const auto one = [&](const QByteArray& input) {
        if (dump) {
            QFile f(QString::fromLocal8Bit(dump));
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                f.write(input);
        }
        try {
            feed(input);
            ++out.accepted;
        } catch (const plat::Exception& e) {
            ++out.refused;
            if (verbose)
                std::printf("refused (%s: %s): %s\n", qPrintable(e.className()), qPrintable(e.message().left(100)),
                            input.left(200).toHex().constData());
        } catch (const std::exception& e) {
            if (++failures <= 5)
                ADD_FAILURE() << "foreign exception " << e.what() << " for input " << input.toHex().constData();
        } catch (...) {
            if (++failures <= 5)
                ADD_FAILURE() << "unknown exception for input " << input.toHex().constData();
        }
    };
    if (const char* scale = std::getenv("SORVAMET_MUTATION_SCALE"))
        count *= qMax(1, std::atoi(scale));
    Mutator mutator(seed, tokens);
    for (const QByteArray& fixture : fixtures) {
        const qsizetype step = fixture.size() <= 600 ? 1 : fixture.size() / 300;
        for (qsizetype len = 0; len < fixture.size(); len += step)
            one(fixture.left(len));
        for (int i = 0; i < count; ++i)
            one(mutator.mutate(fixture));
    }
    return out;
}

} // namespace mutation
