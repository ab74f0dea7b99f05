#include "hostsim/AnsiSuite.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "hostsim/Host.h"

namespace qxv::hostsim {

namespace {

// The plug-in's sprintf targets return_msg; the host never writes past its 256 bytes.
constexpr std::size_t kReturnMsgSize = sizeof(PF_OutData::return_msg);

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

void TraceMath(const char* name, const std::string& arguments, double result) {
    if (Host* host = Host::Current()) host->Trace(name, std::string(name) + "(" + arguments + ") = " + Number(result));
}

template <double (*F)(double)>
A_FpLong Unary(const char* name, A_FpLong x) {
    double result = F(x);
    TraceMath(name, Number(x), result);
    return result;
}

template <double (*F)(double, double)>
A_FpLong Binary(const char* name, A_FpLong x, A_FpLong y) {
    double result = F(x, y);
    TraceMath(name, Number(x) + ", " + Number(y), result);
    return result;
}

// The C library's overload sets cannot be template arguments; these fix the double forms.
double Atan(double x) { return std::atan(x); }
double Atan2(double y, double x) { return std::atan2(y, x); }
double Ceil(double x) { return std::ceil(x); }
double Cos(double x) { return std::cos(x); }
double Exp(double x) { return std::exp(x); }
double Fabs(double x) { return std::fabs(x); }
double Floor(double x) { return std::floor(x); }
double Fmod(double x, double y) { return std::fmod(x, y); }
double Hypot(double x, double y) { return std::hypot(x, y); }
double Log(double x) { return std::log(x); }
double Log10(double x) { return std::log10(x); }
double Pow(double x, double y) { return std::pow(x, y); }
double Sin(double x) { return std::sin(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Tan(double x) { return std::tan(x); }
double Asin(double x) { return std::asin(x); }
double Acos(double x) { return std::acos(x); }

A_FpLong HostAtan(A_FpLong x) { return Unary<Atan>("atan", x); }
A_FpLong HostAtan2(A_FpLong y, A_FpLong x) { return Binary<Atan2>("atan2", y, x); }
A_FpLong HostCeil(A_FpLong x) { return Unary<Ceil>("ceil", x); }
A_FpLong HostCos(A_FpLong x) { return Unary<Cos>("cos", x); }
A_FpLong HostExp(A_FpLong x) { return Unary<Exp>("exp", x); }
A_FpLong HostFabs(A_FpLong x) { return Unary<Fabs>("fabs", x); }
A_FpLong HostFloor(A_FpLong x) { return Unary<Floor>("floor", x); }
A_FpLong HostFmod(A_FpLong x, A_FpLong y) { return Binary<Fmod>("fmod", x, y); }
A_FpLong HostHypot(A_FpLong x, A_FpLong y) { return Binary<Hypot>("hypot", x, y); }
A_FpLong HostLog(A_FpLong x) { return Unary<Log>("log", x); }
A_FpLong HostLog10(A_FpLong x) { return Unary<Log10>("log10", x); }
A_FpLong HostPow(A_FpLong x, A_FpLong y) { return Binary<Pow>("pow", x, y); }
A_FpLong HostSin(A_FpLong x) { return Unary<Sin>("sin", x); }
A_FpLong HostSqrt(A_FpLong x) { return Unary<Sqrt>("sqrt", x); }
A_FpLong HostTan(A_FpLong x) { return Unary<Tan>("tan", x); }
A_FpLong HostAsin(A_FpLong x) { return Unary<Asin>("asin", x); }
A_FpLong HostAcos(A_FpLong x) { return Unary<Acos>("acos", x); }

int HostSprintf(A_char* dst, const A_char* fmt, ...) {
    if (!dst || !fmt) {
        if (Host* host = Host::Current()) host->AddViolation("sprintf called with a null buffer or format");
        return -1;
    }
    va_list args;
    va_start(args, fmt);
    int written = std::vsnprintf(dst, kReturnMsgSize, fmt, args);
    va_end(args);
    if (Host* host = Host::Current()) host->Trace("sprintf", QuoteText(fmt) + " -> " + QuoteText(dst));
    return written;
}

A_char* HostStrcpy(A_char* dst, const A_char* src) {
    if (!dst || !src) {
        if (Host* host = Host::Current()) host->AddViolation("strcpy called with a null argument");
        return dst;
    }
    std::strcpy(dst, src);
    if (Host* host = Host::Current()) host->Trace("strcpy", QuoteText(src));
    return dst;
}

}  // namespace

const PF_ANSICallbacksSuite1 kAnsiSuite1 = {
    HostAtan, HostAtan2, HostCeil, HostCos,  HostExp, HostFabs,    HostFloor,  HostFmod, HostHypot, HostLog,
    HostLog10, HostPow,  HostSin,  HostSqrt, HostTan, HostSprintf, HostStrcpy, HostAsin, HostAcos};

PF_ANSICallbacks MakeAnsiCallbacks() {
    PF_ANSICallbacks ansi{};
    ansi.atan = HostAtan;
    ansi.atan2 = HostAtan2;
    ansi.ceil = HostCeil;
    ansi.cos = HostCos;
    ansi.exp = HostExp;
    ansi.fabs = HostFabs;
    ansi.floor = HostFloor;
    ansi.fmod = HostFmod;
    ansi.hypot = HostHypot;
    ansi.log = HostLog;
    ansi.log10 = HostLog10;
    ansi.pow = HostPow;
    ansi.sin = HostSin;
    ansi.sqrt = HostSqrt;
    ansi.tan = HostTan;
    ansi.sprintf = HostSprintf;
    ansi.strcpy = HostStrcpy;
    ansi.asin = HostAsin;
    ansi.acos = HostAcos;
    return ansi;
}

void RegisterAnsiSuite(Host& host) { host.RegisterSuite(kPFANSISuite, kPFANSISuiteVersion1, &kAnsiSuite1); }

}  // namespace qxv::hostsim
