/* The library's public surface. The library is built with hidden visibility: only what the
 * public headers declare between ORVEX_PUBLIC_BEGIN and ORVEX_PUBLIC_END is exported, so its
 * internal classes and functions are not part of its ABI. */
#ifndef ORVEX_EXPORT_H_
#define ORVEX_EXPORT_H_

#if defined(__GNUC__)
#define ORVEX_PUBLIC_BEGIN _Pragma("GCC visibility push(default)")
#define ORVEX_PUBLIC_END _Pragma("GCC visibility pop")
/* A member of a public class that only the library itself calls, or the class behind a public
 * class's implementation pointer. */
#define ORVEX_LIBRARY_ONLY __attribute__((visibility("hidden")))
#else
#define ORVEX_PUBLIC_BEGIN
#define ORVEX_PUBLIC_END
#define ORVEX_LIBRARY_ONLY
#endif

#endif /* ORVEX_EXPORT_H_ */
