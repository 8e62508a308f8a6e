package Net::OSCAR::Constants;
# Where the network package keeps its connection types (numbers that also
# read as names).
use strict;
use warnings;
use Scalar::Util qw(dualvar);

use constant CONNTYPE_LOGIN => dualvar(0, 'login service');
use constant CONNTYPE_BOS   => dualvar(0x2, 'basic OSCAR services');
use constant CONNTYPE_CHAT  => dualvar(0xE, 'chat connection');

1;
