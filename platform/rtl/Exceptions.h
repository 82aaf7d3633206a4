#pragma once
// Exceptions with the class names and messages that scripts and users see.
//
// Every failure of the platform layer and of the subsystems above it raises one
// of these. className() is the name a script's `except on E: EConvertError`
// matches; inheritsFrom() answers by name along the platform's hierarchy.
// Add a class by adding one line to PLAT_EXCEPTION_CLASSES.

#include <QString>
#include <exception>
#include <memory>
#include <string>

namespace plat {

class Exception : public std::exception {
public:
    explicit Exception(QString message = {});
    ~Exception() override;

    const QString& message() const noexcept { return m_message; }
    void setMessage(QString message);

    // The platform class name, e.g. "EConvertError".
    virtual const char* className() const noexcept { return "Exception"; }
    bool inheritsFrom(const QString& ancestor) const { return classInheritsFrom(className(), ancestor); }

    const char* what() const noexcept override { return m_utf8.c_str(); }

    // Copy and rethrow preserving the dynamic type (for exceptions kept and
    // raised again later, e.g. by a script's `raise` without an argument).
    virtual std::unique_ptr<Exception> clone() const { return std::make_unique<Exception>(*this); }
    [[noreturn]] virtual void raise() const { throw *this; }

    // Name-based hierarchy, as scripts see it. Unknown names inherit from
    // nothing; "Exception" is the root, and every class inherits from itself.
    static bool classInheritsFrom(const QString& className, const QString& ancestor);
    static bool isKnownClass(const QString& className);
    // Creates an exception of a known class by name (e.g. a script raising
    // "EConvertError"); unknown names give a plain Exception.
    static std::unique_ptr<Exception> create(const QString& className, const QString& message);

private:
    QString m_message;
    std::string m_utf8;
};

// name, parent
#define PLAT_EXCEPTION_CLASSES(X)                      \
    X(EAbort, Exception)                               \
    X(EHeapException, Exception)                       \
    X(EOutOfMemory, EHeapException)                    \
    X(EInOutError, Exception)                          \
    X(EExternal, Exception)                            \
    X(EIntError, EExternal)                            \
    X(EDivByZero, EIntError)                           \
    X(ERangeError, EIntError)                          \
    X(EIntOverflow, EIntError)                         \
    X(EMathError, EExternal)                           \
    X(EInvalidOp, EMathError)                          \
    X(EZeroDivide, EMathError)                         \
    X(EOverflow, EMathError)                           \
    X(EUnderflow, EMathError)                          \
    X(EInvalidPointer, EHeapException)                 \
    X(EInvalidCast, Exception)                         \
    X(EConvertError, Exception)                        \
    X(EAccessViolation, EExternal)                     \
    X(EStackOverflow, EExternal)                       \
    X(EVariantError, Exception)                        \
    X(EVariantTypeCastError, EVariantError)            \
    X(EVariantOverflowError, EVariantError)            \
    X(EVariantInvalidOpError, EVariantError)           \
    X(EVariantBadIndexError, EVariantError)            \
    X(EVariantArrayBoundsError, EVariantError)         \
    X(EVariantInvalidArgError, EVariantError)          \
    X(EAssertionFailed, Exception)                     \
    X(EAbstractError, Exception)                       \
    X(EOSError, Exception)                             \
    X(EStreamError, Exception)                         \
    X(EFileStreamError, EStreamError)                  \
    X(EFCreateError, EFileStreamError)                 \
    X(EFOpenError, EFileStreamError)                   \
    X(EFilerError, EStreamError)                       \
    X(EReadError, EFilerError)                         \
    X(EWriteError, EFilerError)                        \
    X(EClassNotFound, EFilerError)                     \
    X(EMethodNotFound, EFilerError)                    \
    X(EInvalidImage, EFilerError)                      \
    X(EResNotFound, Exception)                         \
    X(EListError, Exception)                           \
    X(EBitsError, Exception)                           \
    X(EStringListError, Exception)                     \
    X(EPlainEditStringList, EStringListError)          \
    X(EPlainEditError, Exception)                      \
    X(EPlainKeyError, Exception)                       \
    X(EPlainMethodChain, Exception)                    \
    X(EheFontStockException, Exception)                \
    X(EheTextDrawerException, Exception)               \
    X(EComponentError, Exception)                      \
    X(EParserError, Exception)                         \
    X(EOutOfResources, Exception)                      \
    X(EInvalidOperation, Exception)                    \
    X(EInvalidGraphic, Exception)                      \
    X(EInvalidGraphicOperation, Exception)             \
    X(EPrinter, Exception)                             \
    X(EMenuError, Exception)                           \
    X(EOleError, Exception)                            \
    X(EOleSysError, EOleError)                         \
    X(EOleException, EOleSysError)                     \
    X(EZLibError, Exception)                           \
    X(EZCompressionError, EZLibError)                  \
    X(EZDecompressionError, EZLibError)                \
    X(TzdInvalidXMLException, Exception)               \
    X(EIniFileException, Exception)                    \
    X(ERegistryException, Exception)                   \
    X(EVariantBadVarTypeError, EVariantError)          \
    X(EVariantArrayCreateError, EVariantError)       \
    X(EPropertyError, Exception)                     \
    X(EPropertyConvertError, Exception)              \
    X(EDatabaseError, Exception)                     \
    X(EDBClient, EDatabaseError)                     \
    X(EDuplicateName, Exception)                     \
    X(EExportTerminated, EAbort)

// The members are defined in Exceptions.cpp: with an out-of-line destructor
// each class's virtual table and members are compiled once, not in every
// file that includes this header.
#define PLAT_DECLARE_EXCEPTION(Name, Parent)                                 \
    class Name : public Parent {                                             \
    public:                                                                  \
        using Parent::Parent;                                                \
        ~Name() override;                                                    \
        const char* className() const noexcept override;                     \
        std::unique_ptr<Exception> clone() const override;                   \
        [[noreturn]] void raise() const override;                            \
    };
PLAT_EXCEPTION_CLASSES(PLAT_DECLARE_EXCEPTION)
#undef PLAT_DECLARE_EXCEPTION

} // namespace plat
