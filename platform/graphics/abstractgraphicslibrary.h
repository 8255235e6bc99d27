#ifndef ABSTRACTGRAPHICSLIBRARY_H
#define ABSTRACTGRAPHICSLIBRARY_H

// Hook called on every new item before it is built; both arguments are reserved
// for data that a host may hand to items (always null in this editor).
class AbstractGraphicsLibrary
{
public:
    virtual ~AbstractGraphicsLibrary() = default;
    virtual void init(void *context, void *data) = 0;
};

#endif
