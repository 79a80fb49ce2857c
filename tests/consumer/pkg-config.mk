# The same host as CMakeLists.txt builds, with pkg-config alone:
#
#     make -f pkg-config.mk OUT=DIR   (PKG_CONFIG_PATH naming the installed jointrix.pc)
#
# Qt is built for position-independent code and wants its users to be: -fPIC, not -fPIE.

CXX ?= c++
PKG_CONFIG ?= pkg-config
OUT ?= .
HERE := $(dir $(lastword $(MAKEFILE_LIST)))
MODULE := $(shell $(PKG_CONFIG) --variable=module jointrix)
ifeq ($(MODULE),)
$(error pkg-config finds no jointrix.pc with a module variable)
endif

$(OUT)/jointrix-consumer-pc: $(HERE)host.cpp
	$(CXX) -std=c++20 -fPIC -Wall -Wextra -Werror $(shell $(PKG_CONFIG) --cflags jointrix) \
	  -DJOINTRIX_MODULE='"$(MODULE)"' $< -o $@ $(shell $(PKG_CONFIG) --libs jointrix)
