package Tolvane::Transport::OSCAR;
# The transport for the real network, through the Perl package Net::OSCAR.
# It is loaded only here, when the bot signs on for real, so a missing
# package is reported to the owner instead of stopping the script.
#
# What the package does that shapes this file:
# - after a fatal error it signs off and empties its object: every sign-on
#   here gets a new object, and callbacks of an object given up are ignored;
# - sign-on failures and lost connections come through the error and
#   connection_changed callbacks, not by dying;
# - send_im returns 0, without dying, for a message it finds too long;
# - a connection that the server ended normally can stay readable for ever
#   without the package noticing: the transport looks at the socket itself,
#   and asks the server for its own information every minute to know it
#   still answers;
# - buddies come online only for names on the account's server-side list;
# - a sign-on now and then fails at once with "Got bad connack from server"
#   when the server's first frame arrives in pieces: such a sign-on is tried
#   again at once, a few times, before it counts as failed.
#
# The network speaks HTML in messages: messages in are turned into plain
# text, messages out are escaped.
use strict;
use warnings;
use Scalar::Util qw(weaken);
use Socket qw(MSG_PEEK);
use Time::HiRes ();

# The ways to install the package, for the Perl of today and for a Perl
# that still has ppm.
our @INSTALL = ('cpanm Net::OSCAR', 'cpan Net::OSCAR', 'ppm install Net-OSCAR');

# Longest message (in HTML) that Net::OSCAR hands to the server.
our $MAX_HTML = 7986;
# While online the server is asked for the account's own information this
# often; without any answer this long after asking, the connection is lost.
our $PING_EVERY = 60;
our $PING_WAIT  = 30;
# A sign-on that has come to nothing this long after it began has failed.
our $SIGNON_WAIT = 60;
# Sign-ons tried again at once after a first frame that came in pieces.
our $PIECES_AGAIN = 3;
# The group that buddies to watch are put in when they are not on the
# account's list yet.
our $GROUP = 'Buddies';

# Dies with { missing => 'Net::OSCAR', install => [...] } when the package is
# not there.
sub new {
    my ($class, %args) = @_;
    unless (eval { require Net::OSCAR; 1 }) {
        my $error = $@;
        die { missing => 'Net::OSCAR', install => [@INSTALL] }
          if $error =~ m{Can't locate Net/OSCAR\.pm};
        $error =~ s/\s+\z//;
        die "Net::OSCAR cannot be loaded ($error); install it again with \"$INSTALL[0]\"\n";
    }
    require Net::OSCAR::Constants;
    return bless { queue => [], state => 'offline', oscar => undef }, $class;
}

sub now { time }

sub _clock { Time::HiRes::time() }

sub _push { my ($self, %event) = @_; push @{ $self->{queue} }, \%event }

sub html_to_text {
    my ($html) = @_;
    my $text = defined $html ? $html : '';
    $text =~ s/<br\s*\/?>/\n/gi;
    $text =~ s/<[^>]*>//g;
    my %named = (lt => '<', gt => '>', amp => '&', quot => '"', apos => "'", nbsp => ' ');
    $text =~ s/&(lt|gt|amp|quot|apos|nbsp);/$named{lc $1}/gie;
    $text =~ s/&#(\d+);/$1 < 256 ? chr($1) : '?'/ge;
    $text =~ s/&#x([0-9a-f]+);/hex($1) < 256 ? chr(hex $1) : '?'/gie;
    return $text;
}

sub text_to_html {
    my ($text) = @_;
    $text =~ s/&/&amp;/g;
    $text =~ s/</&lt;/g;
    $text =~ s/>/&gt;/g;
    $text =~ s/\r?\n/<br>/g;
    return $text;
}

# Cuts a text into consecutive pieces whose HTML fits in $max characters,
# each ending after a line break or a blank where there is one.
sub split_text {
    my ($text, $max) = @_;
    my @parts;
    while (length text_to_html($text) > $max) {
        # The longest head that fits (the HTML is never shorter than the text).
        my ($lo, $hi) = (1, length $text);
        while ($lo < $hi) {
            my $mid = int(($lo + $hi + 1) / 2);
            if (length text_to_html(substr $text, 0, $mid) <= $max) { $lo = $mid } else { $hi = $mid - 1 }
        }
        # "\r\n" stays whole.
        $lo-- if $lo > 1 && substr($text, $lo - 1, 2) eq "\r\n";
        # Rather after a line break or a blank, unless that makes a short part.
        $lo = length $1 if substr($text, 0, $lo) =~ /\A(.*[\n ])./s && length $1 >= $lo / 2;
        push @parts, substr $text, 0, $lo, '';
    }
    push @parts, $text if length $text;
    return @parts;
}

# What an error of the package means for the owner: password, name, rate,
# network or other.
sub reason_of {
    my ($description) = @_;
    my $d = defined $description ? $description : '';
    return 'name' if $d =~ /invalid screen ?name|unknown (?:screen ?name|user)|no such user/i;
    return 'password' if $d =~ /password|invalid (?:account|user)/i;
    return 'rate' if $d =~ /rate|too (?:many|often|fast|frequent)/i;
    return 'network'
      if $d =~ /connect|resolve|host|network|timed? ?out|refused|unreachable|socket|lookup|answer/i;
    return 'other';
}

# A new Net::OSCAR object whose callbacks reach this transport only while it
# is the current one.
sub _new_oscar {
    my ($self) = @_;
    my $oscar = Net::OSCAR->new();
    my $me = $self;
    weaken $me;
    my $id = "$oscar";
    my $to = sub {
        my ($method) = @_;
        return sub {
            return unless $me && $me->{oscar} && "$me->{oscar}" eq $id;
            $me->$method(@_);
        };
    };
    $oscar->set_callback_signon_done($to->('_signed_on'));
    $oscar->set_callback_im_in($to->('_im_in'));
    $oscar->set_callback_error($to->('_error'));
    $oscar->set_callback_buddy_in($to->('_buddy_in'));
    $oscar->set_callback_buddy_info($to->('_buddy_info'));
    $oscar->set_callback_connection_changed($to->('_connection_changed'));
    return $oscar;
}

# Gives the current object up. Its callbacks are ignored from now on; what
# it still holds open is closed by _close_old, outside its callbacks.
sub _drop {
    my ($self) = @_;
    my $oscar = delete $self->{oscar} or return;
    push @{ $self->{old} }, $oscar;
}

sub _close_old {
    my ($self) = @_;
    while (my $oscar = shift @{ $self->{old} || [] }) {
        eval { $oscar->signoff if $oscar->{connections} };
    }
}

# account: screen_name, password, server ("host" or "host:port"), buddies
# (names to have on the account's buddy list).
sub signon {
    my ($self, %account) = @_;
    $self->{pieces} = 0;
    $self->_signon(%account);
}

sub _signon {
    my ($self, %account) = @_;
    $self->{account} = {%account};
    my @where;
    if ($account{server}) {
        my ($host, $port) = split /:/, $account{server}, 2;
        push @where, host => $host;
        push @where, port => $port if $port;
    }
    $self->_drop;
    $self->_close_old;
    $self->{screen_name} = $account{screen_name};
    $self->{watch} = [ @{ $account{buddies} || [] } ];
    $self->{state} = 'signing_on';
    $self->{since} = _clock();
    delete $self->{asked};
    my $oscar = $self->{oscar} = $self->_new_oscar;
    my $ok = eval {
        $oscar->signon(
            screenname => $account{screen_name},
            password   => $account{password},
            @where
        );
        1;
    };
    unless ($ok) {
        (my $why = "$@") =~ s/\s+at \S+ line \d+.*//s;
        $why =~ s/\s+\z//;
        $self->_lost($why);
    }
}

sub poll {
    my ($self, $wait) = @_;
    my $until = _clock() + $wait;
    $self->_close_old;
    while (!@{ $self->{queue} }) {
        $self->_signon(%{ $self->{account} }) if delete $self->{again};
        last if $self->{state} eq 'offline';
        $self->_check_alive;
        last if $self->{state} eq 'offline';
        my $oscar = $self->{oscar};
        my $left = $until - _clock();
        # The package takes a timeout of 0 as "no change".
        $oscar->timeout($left > 0.001 ? $left : 0.001);
        my $ok = eval { $oscar->do_one_loop; 1 };
        unless ($ok) {
            (my $why = "$@") =~ s/\s+\z//;
            $self->_lost($why);
        }
        $self->_lost('the server closed the connection') if $self->{state} ne 'offline' && $self->_closed;
        last if _clock() >= $until;
    }
    # Offline there is nothing to read: wait all the same, so that the
    # bot's loop never turns without waiting.
    my $left = $until - _clock();
    select(undef, undef, undef, $left) if !@{ $self->{queue} } && $left > 0;
    my @events = @{ $self->{queue} };
    $self->{queue} = [];
    return @events;
}

# Sends the text, in parts when it is too long for one message. Returns how
# many characters of it went out: all of them, or the parts before the first
# one that was refused.
sub send_im {
    my ($self, $to, $text) = @_;
    return 0 unless $self->{state} eq 'online';
    my $sent = 0;
    for my $part (split_text($text, $MAX_HTML)) {
        # The third argument marks the message as an automatic reply, so
        # that other answering programs leave it unanswered.
        my $id = eval { $self->{oscar}->send_im($to, text_to_html($part), 1) };
        last unless $id;
        $sent += length $part;
        last if $self->{state} ne 'online';
    }
    return $sent;
}

# True when a connection of the current object has been ended by the server
# (readable, and at its end). The package itself can miss that.
sub _closed {
    my ($self) = @_;
    for my $connection (@{ $self->{oscar}{connections} || [] }) {
        next unless ref $connection && $connection->{connected};
        my $socket = $connection->{socket} or next;
        my $fileno = fileno $socket;
        next unless defined $fileno;
        my $bits = '';
        vec($bits, $fileno, 1) = 1;
        next unless select($bits, undef, undef, 0) > 0;
        my $peek = '';
        my $from = recv($socket, $peek, 1, MSG_PEEK);
        return 1 if defined $from && $peek eq '';
    }
    return 0;
}

# Gives up a sign-on that takes too long, and a connection whose server no
# longer answers; asks the server for an answer once a minute.
sub _check_alive {
    my ($self) = @_;
    my $now = _clock();
    if ($self->{state} eq 'signing_on') {
        $self->_lost('no answer from the server') if $now - $self->{since} >= $SIGNON_WAIT;
        return;
    }
    return unless $self->{state} eq 'online';
    if (defined $self->{asked}) {
        $self->_lost('the server no longer answers') if $now - $self->{asked} >= $PING_WAIT;
    } elsif ($now - $self->{since} >= $PING_EVERY) {
        $self->{asked} = $now;
        eval { $self->{oscar}->get_info($self->{screen_name}) };
    }
}

# An answer from the server: it is alive.
sub _answered {
    my ($self) = @_;
    delete $self->{asked};
    $self->{since} = _clock();
}

sub _signed_on {
    my ($self, $oscar) = @_;
    $self->{state} = 'online';
    $self->_answered;
    $self->_push(type => 'signed_on');
    # Buddies come online only for names on the account's list: put the
    # ones the bot watches there, keeping the list as it is.
    my @missing = grep { !scalar $oscar->findbuddy($_) } @{ $self->{watch} };
    if (@missing) {
        eval {
            $oscar->add_buddy($GROUP, @missing);
            $oscar->commit_buddylist;
        };
    }
}

sub _lost {
    my ($self, $why) = @_;
    my $was = $self->{state};
    return if $was eq 'offline';
    $self->{state} = 'offline';
    $self->_drop;
    if ($was eq 'signing_on' && $why =~ /bad connack/ && $self->{pieces}++ < $PIECES_AGAIN) {
        $self->{again} = 1;
        return;
    }
    if ($was eq 'signing_on') {
        # The package says so also when nothing answered on the port.
        $why = 'the server refused or closed the connection' if $why =~ /\ALost connection to BOS/;
        $self->_push(type => 'signon_failed', reason => reason_of($why), detail => $why);
    } else {
        $self->_push(type => 'disconnected', detail => $why);
    }
}

sub _im_in {
    my ($self, $oscar, $sender, $message, $is_away) = @_;
    $self->_answered;
    $self->_push(type => 'im', from => "$sender", text => html_to_text($message),
        auto => $is_away ? 1 : 0);
}

# Fatal errors end the connection; others are the server's answer to a
# request (a message it refused, for one).
sub _error {
    my ($self, $oscar, $connection, $error, $description, $fatal) = @_;
    my $why = defined $description ? $description : "error $error";
    if ($fatal) {
        $self->_lost($why);
    } elsif ($self->{state} eq 'online') {
        $self->_answered;
        $self->_push(type => 'refused', reason => reason_of($why), detail => $why)
          if $why =~ /could not be sent/i;
    }
}

sub _buddy_in {
    my ($self, $oscar, $name, $group, $data) = @_;
    $self->_answered;
    $self->_push(type => 'buddy_online', who => "$name");
    # An away buddy's message comes later, as buddy information.
    eval { $oscar->get_away($name) } if ref $data eq 'HASH' && $data->{away};
}

sub _buddy_info {
    my ($self, $oscar, $name, $data) = @_;
    $self->_answered;
    return if lc "$name" eq lc($self->{screen_name} // '');
    return unless ref $data eq 'HASH' && defined $data->{awaymsg} && $data->{awaymsg} ne '';
    $self->_push(type => 'buddy_away', who => "$name", text => html_to_text($data->{awaymsg}));
}

# Connections come and go while signing on (the login server hands over to
# another) and for chats; only the end of the main one while online is a
# loss.
sub _connection_changed {
    my ($self, $oscar, $connection, $status) = @_;
    return unless defined $status && $status eq 'deleted' && $self->{state} eq 'online';
    my $type = ref $connection ? $connection->{conntype} : undef;
    return unless defined $type && $type == Net::OSCAR::Constants::CONNTYPE_BOS();
    $self->_lost('the server closed the connection');
}

1;
