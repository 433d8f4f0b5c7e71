// Translation unit that carries the shared precompiled wx header.
