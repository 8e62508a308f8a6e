package Tolvane::Transport::Scripted;
# A transport without a network: a conversation script plays the server and
# the buddies, and everything the bot sends is kept (and, when asked, logged
# to a file). One step per line; blank lines and lines starting with # are
# skipped; a name with blanks is written in double quotes; "\n" in a text is
# a line break.
#
#   signon ok                     how the next sign-on goes (a sign-on with
#   signon password|name|network|rate|other [DETAIL]  (no such step: it
#                                 succeeds)
#   clock [YYYY-MM-DD] HH:MM[:SS] from now on the time is this made-up time
#   sleep SECONDS                 let time pass: the made-up clock moves on,
#                                 without a clock command it is real waiting
#   online NAME                   the buddy comes online
#   away NAME TEXT                the buddy's away message is seen
#   im NAME TEXT                  the buddy sends a message
#   autoim NAME TEXT              the buddy's client answers automatically
#   disconnect [DETAIL]           the server closes the connection
#   quit                          the end: the bot stops
#
# Steps after a sign-on wait until the bot is signed on; a signon step waits
# until the bot signs on. When the script has run out, the connection stays
# open and quiet until the bot is ended (or, with end => 'quit', the bot is
# told to stop).
use strict;
use warnings;
use Time::Local qw(timelocal);
use POSIX qw(strftime);
use Tolvane::Files qw(read_file split_lines append_file);

sub _unquote {
    my ($rest) = @_;
    if ($rest =~ /\A"([^"]*)"\s*(.*)\z/s || $rest =~ /\A(\S+)\s*(.*)\z/s) {
        return ($1, $2);
    }
    return (undef, '');
}

sub _text { my $t = $_[0]; $t =~ s/\\n/\n/g; $t }

# Parses a script. Returns the steps, or dies with the line that is wrong.
sub parse {
    my ($class, $source) = @_;
    my @steps;
    my $number = 0;
    for my $line (split_lines($source)) {
        $number++;
        next if $line =~ /\A\s*(?:#.*)?\z/;
        my ($word, $rest) = $line =~ /\A\s*(\S+)\s*(.*?)\s*\z/s;
        $word = lc $word;
        my $step = { line => $number, type => $word };
        if ($word eq 'signon') {
            my ($how, $detail) = $rest =~ /\A(\S+)\s*(.*)\z/s;
            $how = lc($how // '');
            die "line $number: signon must be ok, password, name, network, rate or other\n"
              unless $how =~ /\A(?:ok|password|name|network|rate|other)\z/;
            @$step{qw(how detail)} = ($how, $detail);
        } elsif ($word eq 'clock') {
            my ($y, $mo, $d, $h, $mi, $s) =
              $rest =~ /\A(?:(\d{4})-(\d\d)-(\d\d)\s+)?(\d{1,2}):(\d\d)(?::(\d\d))?\z/
              or die "line $number: clock needs [YYYY-MM-DD] HH:MM[:SS]\n";
            @$step{qw(date hour minute second)} =
              (defined $y ? [$y, $mo, $d] : undef, $h, $mi, $s // 0);
        } elsif ($word eq 'sleep') {
            $rest =~ /\A\d+(?:\.\d+)?\z/ or die "line $number: sleep needs a number of seconds\n";
            $step->{seconds} = $rest;
        } elsif ($word eq 'online' || $word eq 'away' || $word eq 'im' || $word eq 'autoim') {
            my ($name, $text) = _unquote($rest);
            die "line $number: $word needs a buddy's name\n" unless defined $name;
            @$step{qw(name text)} = ($name, _text($text));
        } elsif ($word eq 'disconnect') {
            $step->{detail} = $rest;
        } elsif ($word ne 'quit') {
            die "line $number: unknown step \"$word\"\n";
        }
        push @steps, $step;
    }
    return \@steps;
}

# script: the text of a script, or file: its path. log: a file that gets a
# line for every message in and out ("< bob: hi", "> bob: Hello...").
# end: 'hold' (stay connected when the script has run out) or 'quit'.
sub new {
    my ($class, %args) = @_;
    my $source = $args{script};
    if (!defined $source) {
        my ($data, $err) = read_file($args{file});
        die "cannot read the conversation script $args{file}: $err\n" unless defined $data;
        $source = $data;
    }
    my $steps = $class->parse($source);
    my $self = bless {
        steps     => $steps,
        log       => $args{log},
        end       => $args{end} || 'hold',
        state     => 'offline',    # offline, signing_on, online
        queue     => [],
        sent      => [],
        offset    => undef,        # set once the clock is made up
        signons   => [],
    }, $class;
    # A clock at the head of the script holds from the very start.
    $self->_set_clock(shift @$steps) while @$steps && $steps->[0]{type} eq 'clock';
    return $self;
}

sub _set_clock {
    my ($self, $step) = @_;
    my ($y, $mo, $d) = $step->{date} ? @{ $step->{date} }
      : do { my @t = localtime $self->now; ($t[5] + 1900, $t[4] + 1, $t[3]) };
    $self->{fake} = timelocal($step->{second}, $step->{minute}, $step->{hour}, $d, $mo - 1, $y);
    $self->{offset} = 1;
}

sub sent    { @{ $_[0]{sent} } }
sub signons { @{ $_[0]{signons} } }

sub now {
    my ($self) = @_;
    return defined $self->{offset} ? $self->{fake} : time;
}

sub _sleep {
    my ($self, $seconds) = @_;
    if (defined $self->{offset}) {
        $self->{fake} += $seconds;
    } else {
        select(undef, undef, undef, $seconds);
    }
}

sub _log {
    my ($self, $arrow, $name, $text) = @_;
    return unless $self->{log};
    (my $flat = $text) =~ s/\r?\n/\\n/g;
    append_file($self->{log}, strftime('%H:%M:%S', localtime $self->now) . " $arrow $name: $flat\r\n");
}

sub signon {
    my ($self, %account) = @_;
    push @{ $self->{signons} }, {%account};
    $self->{state} = 'signing_on';
}

sub send_im {
    my ($self, $to, $text) = @_;
    return 0 unless $self->{state} eq 'online';
    push @{ $self->{sent} }, { to => $to, text => $text, time => $self->now };
    $self->_log('>', $to, $text);
    return length $text;
}

# Plays the script up to the next event for the bot.
sub poll {
    my ($self, $wait) = @_;
    while (1) {
        my $step = $self->{steps}[0];
        unless ($step) {
            if ($self->{state} eq 'signing_on') {
                $self->{state} = 'online';
                return { type => 'signed_on' };
            }
            if ($self->{end} eq 'quit') {
                $self->{state} = 'offline';
                return { type => 'shutdown' };
            }
            $self->_sleep($wait);
            return ();
        }
        my $type = $step->{type};
        if ($type eq 'clock') {
            $self->_set_clock(shift @{ $self->{steps} });
            next;
        }
        if ($type eq 'sleep') {
            shift @{ $self->{steps} };
            $self->_sleep($step->{seconds});
            next;
        }
        if ($type eq 'quit') {
            shift @{ $self->{steps} };
            $self->{state} = 'offline';
            return { type => 'shutdown' };
        }
        if ($self->{state} eq 'signing_on') {
            $self->{state} = 'online';
            return { type => 'signed_on' } unless $type eq 'signon';
            shift @{ $self->{steps} };
            return { type => 'signed_on' } if $step->{how} eq 'ok';
            $self->{state} = 'offline';
            return { type => 'signon_failed', reason => $step->{how}, detail => $step->{detail} };
        }
        if ($self->{state} ne 'online' || $type eq 'signon') {
            # This step waits for the bot to sign on (again).
            $self->_sleep($wait);
            return ();
        }
        shift @{ $self->{steps} };
        if ($type eq 'disconnect') {
            $self->{state} = 'offline';
            return { type => 'disconnected', detail => $step->{detail} };
        }
        if ($type eq 'online') {
            return { type => 'buddy_online', who => $step->{name} };
        }
        if ($type eq 'away') {
            return { type => 'buddy_away', who => $step->{name}, text => $step->{text} };
        }
        $self->_log('<', $step->{name}, $step->{text});
        return { type => 'im', from => $step->{name}, text => $step->{text},
            auto => $type eq 'autoim' ? 1 : 0 };
    }
}

1;
