# The self-subclasser's targets are added as its code arrives.
