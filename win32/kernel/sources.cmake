# sources of win32/kernel
