#pragma once
// Encryption of report files: "rij" followed by the AES-128-CBC ciphertext
// (zero initialisation vector) of the plain stream padded with blanks to
// whole blocks; the key is the first 16 bytes of the password.

#include "zdClass_services.h"

#include <QByteArray>
#include <QString>

namespace plat {
class TStream;
}

// Keys travel as upper-case hexadecimal text.
QString zdNormalizeKeyHex(const QString& hexKey, int bits);
QString zdPasswordToKey(const QString& password);
QByteArray zdEncryptString(const QByteArray& data, const QString& keyHex);
QByteArray zdDecryptString(const QByteArray& data, const QString& keyHex);
void zdEncryptStream(plat::TStream& source, plat::TStream& dest, const QString& password);
void zdDecryptStream(plat::TStream& source, plat::TStream& dest, const QString& password);

// The report library's crypter.
class TzdCrypt : public TzdCustomCrypter {
    PLAT_CLASS(TzdCrypt, TzdCustomCrypter)
public:
    explicit TzdCrypt(plat::TComponent* AOwner);
    ~TzdCrypt() override;

    // A source that begins with "rij" is decrypted with AskPassword(Key).
    bool Decrypt(plat::TStream& Source, const QString& Key) override;
    void Encrypt(plat::TStream& Dest, const QString& Key) override;
    // Key when given; else the user's answer, empty when cancelled.
    QString AskPassword(const QString& Key) const;
};

namespace zd {

// Asks the user for a password; returns false when the user cancels. The
// preview layer installs its password dialog here; without one there is
// nobody to ask and the answer is "cancelled".
using PasswordPrompt = bool (*)(QString& password);
void setPasswordPrompt(PasswordPrompt prompt);

// The password the user types, through the installed prompt or else the
// user-interface services; false when cancelled or nobody can be asked.
bool askUserPassword(QString& password);

// The crypter's password: key when given, else the user's answer (empty when
// cancelled).
QString askPassword(const QString& key);

// The work of the report library's crypter.
void cryptEncryptWork(plat::TStream& work, plat::TStream& dest, const QString& key);
// When source begins with "rij", decrypts it into work and returns true;
// otherwise returns false and leaves source where it was. Either way work
// ends at position 0.
bool cryptDecryptToWork(plat::TStream& source, plat::TStream& work, const QString& key);

} // namespace zd
