// The exception family that the system raises and catches.
//
// Exceptions carry a Windows-1251 message. They are thrown by value and caught by reference;
// `EAbort` is the silent exception: handlers that report errors to the user skip it.
#pragma once

#include <exception>

#include "platform/runtime/Types.h"

class Exception : public std::exception {
 public:
  explicit Exception(AnsiString message) : FMessage(std::move(message)) {}
  ~Exception() override = default;

  const AnsiString& GetMessage() const { return FMessage; }
  void SetMessage(AnsiString value) { FMessage = std::move(value); }
  // The message in Windows-1251, as stored.
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  AnsiString FMessage;
};

#define ORV_DECLARE_EXCEPTION(Name, Base)                            \
  class Name : public Base {                                         \
   public:                                                           \
    using Base::Base;                                                \
  }

ORV_DECLARE_EXCEPTION(EAbort, Exception);
ORV_DECLARE_EXCEPTION(EConvertError, Exception);
ORV_DECLARE_EXCEPTION(EListError, Exception);
ORV_DECLARE_EXCEPTION(EStringListError, EListError);
ORV_DECLARE_EXCEPTION(EBitsError, Exception);
ORV_DECLARE_EXCEPTION(EInvalidOperation, Exception);
ORV_DECLARE_EXCEPTION(EInvalidPointer, Exception);
// A broken invariant that the code checks at run time ("Assertion failure").
ORV_DECLARE_EXCEPTION(EAssertionFailed, Exception);
ORV_DECLARE_EXCEPTION(EOutOfMemory, Exception);
ORV_DECLARE_EXCEPTION(EIntError, Exception);
ORV_DECLARE_EXCEPTION(EDivByZero, EIntError);
ORV_DECLARE_EXCEPTION(ERangeError, EIntError);
ORV_DECLARE_EXCEPTION(EIntOverflow, EIntError);
ORV_DECLARE_EXCEPTION(EMathError, Exception);
ORV_DECLARE_EXCEPTION(EZeroDivide, EMathError);
ORV_DECLARE_EXCEPTION(EOverflow, EMathError);
ORV_DECLARE_EXCEPTION(EInvalidOp, EMathError);
ORV_DECLARE_EXCEPTION(EStreamError, Exception);
ORV_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
ORV_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
ORV_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
// Reading or writing a stream failed; these are not file-stream errors.
ORV_DECLARE_EXCEPTION(EReadError, EStreamError);
ORV_DECLARE_EXCEPTION(EWriteError, EStreamError);
ORV_DECLARE_EXCEPTION(EFilerError, EStreamError);
ORV_DECLARE_EXCEPTION(EClassNotFound, EFilerError);
ORV_DECLARE_EXCEPTION(EInOutError, Exception);
ORV_DECLARE_EXCEPTION(EVariantError, Exception);
ORV_DECLARE_EXCEPTION(EPropertyError, Exception);
ORV_DECLARE_EXCEPTION(EComponentError, Exception);
ORV_DECLARE_EXCEPTION(EOSError, Exception);
ORV_DECLARE_EXCEPTION(EDatabaseError, Exception);
// Base of the component library's own exceptions.
ORV_DECLARE_EXCEPTION(EdxException, Exception);
