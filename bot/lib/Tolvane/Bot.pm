package Tolvane::Bot;
# The answering bot: signs on through a transport, answers buddies as the
# owner set up in the panel, keeps what it receives, and keeps the status
# files up to date.
#
# A transport is an object with these methods (see Transport/Scripted.pm
# and Transport/OSCAR.pm):
#   signon(%account)      start signing on: screen_name, password, server,
#                         buddies (names to have on the account's buddy
#                         list, so that they are seen coming online)
#   poll($seconds)        wait at most that long; returns the events that
#                         came, each a hash reference with a "type":
#     signed_on
#     signon_failed       reason => password|name|network|rate|other, detail
#     disconnected        detail
#     refused             a message sent was turned down: reason, detail
#     im                  from, text, auto (1: the sender's automatic reply)
#     buddy_online        who
#     buddy_away          who, text (the buddy's away message)
#     shutdown            the transport has nothing more: the bot ends
#   send_im($to, $text)   send a message (always marked as an automatic
#                         reply), in parts when it is long; returns how many
#                         characters of it went out (the parts sent are the
#                         head of the text)
#   now                   the time, in seconds since the epoch
use strict;
use warnings;
use File::Basename qw(dirname);
use File::Spec;
use POSIX qw(strftime);
use Tolvane::Config;
use Tolvane::Status;
use Tolvane::Archive;
use Tolvane::Deliveries;
use Tolvane::Answers qw(minute_of_day away_answer command info_menu contact_answer
  delivery_answer);

# Answers on request (info, contact, away) that one buddy gets within one
# answer interval; more are not answered, so that no one can make the bot
# flood.
my $REQUESTS_PER_INTERVAL = 5;

# Signing on again after failures in a row: reconnect_delay, then twice as
# long each time, and after this many failures the longest wait.
my $DOUBLINGS = 4;
# The longest wait between two sign-ons (unless reconnect_delay is longer),
# and how long a connection must have lasted for the waits to start over.
my $LONGEST_WAIT = 300;
# After the server turned sign-on down for signing on too often.
my $RATE_WAIT = 600;

# The saved-messages folder of a data folder: the data folder is
# <profile>\My Documents\Tolvane, the saved messages go to <profile>\Tolvane.
sub saved_dir_for {
    my ($dir) = @_;
    my $abs = File::Spec->rel2abs($dir);
    $abs =~ s{[\\/]+\z}{} if length $abs > 3;
    return File::Spec->catdir(dirname(dirname($abs)), 'Tolvane');
}

# dir: the data folder. transport: a transport, or a code reference that
# makes one from the configuration (it may die: that is reported).
# saved_dir: where the HTML pages go (the saved-messages folder by default).
sub new {
    my ($class, %args) = @_;
    return bless {
        dir       => $args{dir},
        saved_dir => $args{saved_dir} || saved_dir_for($args{dir}),
        make      => $args{transport},
        exit      => undef,
        connected => 0,
        received  => 0,
        greeted   => {},
        answered  => {},    # buddy => time of the last automatic answer
        requests  => {},    # buddy => times of answers on request
        sent      => {},    # texts sent this run, to know our own words
        last_away => {},
        noted     => {},
        failures  => 0,     # sign-ons failed or lost in a row
    }, $class;
}

sub status     { $_[0]{status} }
sub config     { $_[0]{config} }
sub archive    { $_[0]{archive} }
sub transport  { $_[0]{transport} }
sub exit_code  { $_[0]{exit} }

sub _now { $_[0]{transport}->now }

sub _stop { my ($self, $code) = @_; $self->{exit} = $code }

sub _note {
    my ($self, @notes) = @_;
    for my $note (@notes) {
        next if $self->{noted}{$note}++;
        $self->{status}->add_note($note);
    }
}

# Runs until the bot cannot go on or the transport ends (going on after
# start and step when they ran already). Returns the exit code: 0 after the
# transport ended, non-zero when the bot gave up.
sub run {
    my ($self) = @_;
    if (!$self->{status}) {
        $self->start or return $self->{exit};
    }
    $self->step(1) until defined $self->{exit};
    return $self->{exit};
}

# Everything before the first sign-on. False when the bot cannot go on.
sub start {
    my ($self) = @_;
    my $status = $self->{status} = Tolvane::Status->new($self->{dir});
    # First of all: a "Connected!" left by an earlier run must not count.
    $status->connected(0);
    $status->status('Starting');

    my $config = $self->{config} = Tolvane::Config->load($self->{dir});
    my @notes = $config->notes;
    if (my $fatal = $config->fatal) {
        $status->set_notes(@notes);
        $status->status($fatal);
        $self->_stop(1);
        return 0;
    }

    my $transport = ref $self->{make} eq 'CODE' ? eval { $self->{make}->($config) } : $self->{make};
    unless ($transport) {
        my $error = $@;
        $status->set_notes(@notes);
        if (ref $error eq 'HASH' && $error->{missing}) {
            my @ways = @{ $error->{install} };
            my $last = pop @ways;
            my $ways = join(', ', map {"\"$_\""} @ways) . (@ways ? ' or ' : '') . "\"$last\"";
            $status->status("$error->{missing} is not installed: in a command prompt run $ways"
                  . ', then press Start again');
        } else {
            (my $why = "$error") =~ s/\s+\z//;
            $status->status("Cannot start the network part of the bot: $why");
        }
        $self->_stop(1);
        return 0;
    }
    $self->{transport} = $transport;

    my $now = $transport->now;
    $self->{archive} = Tolvane::Archive->new(
        dir       => $self->{dir},
        saved_dir => $self->{saved_dir},
        account   => $config->setting('screen_name'),
        now       => $now,
    );
    $self->{deliveries} = Tolvane::Deliveries->new($self->{dir});
    push @notes, $self->{archive}->notes, $self->{deliveries}->notes;
    $self->{noted}{$_} = 1 for @notes;
    $status->set_notes(@notes);
    $self->_sign_on;
    return 1;
}

# One round: sign on again when it is time, then handle what came.
sub step {
    my ($self, $wait) = @_;
    if (defined $self->{retry_at} && $self->_now >= $self->{retry_at}) {
        delete $self->{retry_at};
        $self->_sign_on;
    }
    $self->handle($_) for $self->{transport}->poll($wait);
}

sub _account { $_[0]{config}->setting('screen_name') }

sub _sign_on {
    my ($self) = @_;
    my $config = $self->{config};
    $self->{status}->status('Signing on as ' . $self->_account);
    $self->{transport}->signon(
        screen_name => $config->setting('screen_name'),
        password    => $config->setting('password'),
        server      => $config->option('server'),
        buddies     => [ sort map { $_->{name} } grep { $_->{text} ne '' } $config->deliveries ],
    );
}

sub _show_connected {
    my ($self, $more) = @_;
    my $n = $self->{received};
    $self->{status}->status(sprintf 'Connected as %s, %d message%s received%s', $self->_account, $n,
        $n == 1 ? '' : 's', defined $more ? "; $more" : '');
}

# Signs on again later (waiting longer after each failure in a row, and at
# least $least seconds), or gives up when reconnect_delay is 0.
sub _retry_later {
    my ($self, $what, $least) = @_;
    my $first = $self->{config}->option('reconnect_delay');
    if ($first <= 0) {
        $self->{status}->status("$what; the bot has stopped (reconnect_delay is 0)");
        $self->_stop(3);
        return;
    }
    my $n = $self->{failures}++;
    my $longest = $first > $LONGEST_WAIT ? $first : $LONGEST_WAIT;
    my $delay = $n < $DOUBLINGS ? $first * 2**$n : $longest;
    $delay = $longest if $delay > $longest;
    $delay = $least if defined $least && $delay < $least;
    $self->{retry_at} = $self->_now + $delay;
    $self->{status}->status("$what; trying again at "
          . strftime('%H:%M:%S', localtime $self->{retry_at}));
}

sub handle {
    my ($self, $event) = @_;
    my $type = $event->{type} || '';
    my $detail = defined $event->{detail} && $event->{detail} ne '' ? " ($event->{detail})" : '';
    if ($type eq 'signed_on') {
        $self->{connected} = 1;
        $self->{online_since} = $self->_now;
        $self->{status}->connected(1);
        $self->_show_connected;
    } elsif ($type eq 'signon_failed') {
        $self->{connected} = 0;
        $self->{status}->connected(0);
        my $reason = $event->{reason} || 'other';
        my $who = $self->_account;
        if ($reason eq 'password') {
            $self->{status}->status("Could not sign on as $who: the AIM server says the password"
                  . " is wrong$detail; check it in Settings, then press Start again");
            $self->_stop(2);
        } elsif ($reason eq 'name') {
            $self->{status}->status("Could not sign on as $who: the AIM server does not know this"
                  . " screen name$detail; check it in Settings, then press Start again");
            $self->_stop(2);
        } elsif ($reason eq 'network') {
            $self->_retry_later("Could not reach the AIM server$detail");
        } elsif ($reason eq 'rate') {
            $self->_retry_later("The AIM server turned down signing on so often$detail",
                $RATE_WAIT);
        } else {
            $self->_retry_later("Could not sign on as $who$detail");
        }
    } elsif ($type eq 'disconnected') {
        $self->{connected} = 0;
        $self->{status}->connected(0);
        # A connection that lasted starts the waits over.
        $self->{failures} = 0
          if defined $self->{online_since} && $self->_now - $self->{online_since} >= $LONGEST_WAIT;
        $self->_retry_later("The connection to AIM was lost$detail");
    } elsif ($type eq 'refused') {
        if ($self->{connected} && ($event->{reason} || '') eq 'rate') {
            $self->_show_connected(
                'the AIM server turned down an answer sent too fast, later ones go out as usual');
        }
    } elsif ($type eq 'im') {
        $self->_on_im($event);
    } elsif ($type eq 'buddy_online') {
        $self->_deliver($event->{who}) if $self->{connected};
    } elsif ($type eq 'buddy_away') {
        $self->_keep_away($event->{who}, $event->{text});
    } elsif ($type eq 'shutdown') {
        if ($self->{connected}) {
            $self->{status}->connected(0);
            my $n = $self->{received};
            $self->{status}->status(sprintf 'Signed off as %s, %d message%s received',
                $self->_account, $n, $n == 1 ? '' : 's');
        }
        $self->{connected} = 0;
        $self->_stop(0);
    }
}

sub _keep_away {
    my ($self, $who, $text) = @_;
    return unless $self->{config}->setting('save_away');
    return if !defined $text || $text =~ /\A\s*\z/;
    my $key = Tolvane::Config::norm($who);
    return if defined $self->{last_away}{$key} && $self->{last_away}{$key} eq $text;
    $self->{last_away}{$key} = $text;
    $self->_note($self->{archive}->add('away', $self->_now, $who, $text));
}

sub _plain { my $t = lc $_[0]; $t =~ s/\s+/ /g; $t =~ s/\A | \z//g; $t }

# An automatic reply: marked so by the network, or one by its words, or
# our own words coming back.
sub _automatic {
    my ($self, $event) = @_;
    return 1 if $event->{auto};
    my $plain = _plain($event->{text});
    return 1 if $plain =~ /\A\W*auto(?:matic)?[- ]?(?:response|reply|answer|message)\b/;
    return 1 if $self->{sent}{$plain};
    return 0;
}

sub _on_im {
    my ($self, $event) = @_;
    my ($from, $text) = @$event{qw(from text)};
    $text = '' unless defined $text;
    my $config = $self->{config};
    my $now = $self->_now;

    # Never answer an answer: two answering bots would talk for ever.
    if ($self->_automatic($event)) {
        $self->_keep_away($from, $text);
        return;
    }
    $self->{received}++;
    $self->_note($self->{archive}->add('message', $now, $from, $text));
    $self->_show_connected if $self->{connected};

    $self->_deliver($from);

    my $key = Tolvane::Config::norm($from);
    my $wanted = command($text);
    my $interval = $config->option('answer_interval') * 60;
    my @answers;
    if (!$self->{greeted}{$key}) {
        $self->{greeted}{$key} = 1;
        $self->{answered}{$key} = $now;
        push @answers, $config->setting('greeting');
        push @answers, $wanted ? $self->_requested($wanted, $from) : away_answer($config, $from,
            minute_of_day($now));
    } elsif ($wanted) {
        my @recent = grep { $now - $_ < $interval } @{ $self->{requests}{$key} || [] };
        if (@recent < $REQUESTS_PER_INTERVAL) {
            push @recent, $now;
            push @answers, $self->_requested($wanted, $from);
        }
        $self->{requests}{$key} = \@recent;
    } elsif ($now - $self->{answered}{$key} >= $interval) {
        $self->{answered}{$key} = $now;
        push @answers, away_answer($config, $from, minute_of_day($now));
    }
    $self->_send($from, $_) for grep { defined && $_ ne '' } @answers;
}

sub _requested {
    my ($self, $wanted, $from) = @_;
    my $config = $self->{config};
    return info_menu($config) if $wanted eq 'info';
    return contact_answer($config, $from) if $wanted eq 'contact';
    return away_answer($config, $from, minute_of_day($self->_now));
}

# Sends an answer; true when all of it went out. What went out, and only
# that, is on the run's page.
sub _send {
    my ($self, $to, $text) = @_;
    $self->{sent}{ _plain($text) } = 1;
    my $sent = $self->{transport}->send_im($to, $text) || 0;
    $self->_note($self->{archive}->add_answer($self->_now, $to, substr($text, 0, $sent)))
      if $sent > 0;
    return $sent >= length $text;
}

# Delivers the message left for this buddy, once.
sub _deliver {
    my ($self, $buddy) = @_;
    return unless $self->{connected};
    my $delivery = $self->{config}->delivery($buddy) or return;
    return unless $self->{deliveries}->pending($buddy, $delivery->{text});
    return unless $self->_send($buddy, delivery_answer($self->{config}, $delivery->{text}));
    my $why = $self->{deliveries}->record($self->_now, $buddy, $delivery->{text});
    $self->_note("The delivery to $buddy could not be recorded ($why): it may be sent again next time")
      if defined $why;
}

1;
