package Net::OSCAR;
# A stand-in for the network package that behaves as the package does in
# everything the bot's transport relies on:
# - a fatal error calls the error callback (fatal 1), then signs off, which
#   ends every connection (connection_changed "deleted") and empties the
#   object: callbacks included, so an object that signed off once stays
#   silent for good;
# - sign-on failures and lost connections come only through the callbacks;
# - send_im returns 0, without dying, for a message of 7,987 characters or
#   more, and a request id otherwise;
# - timeout(0) changes nothing;
# - do_one_loop returns at once when there are no connections, and else
#   waits on their sockets (a connection given a socket by a test);
# - buddies come online only when on the account's list, which is changed
#   by add_buddy and commit_buddylist.
# Tests reach the objects in @Net::OSCAR::made and play the server with the
# server_* methods and fire. For a whole bot run (the benchmark), the
# environment variable TOLVANE_STANDIN_SERVER plays a server by itself:
# "accepts" signs on and answers every request for information,
# "unreachable" turns every sign-on down as a refused connection.
use strict;
use warnings;
use Net::OSCAR::Constants;

our @made;
our $SERVER = $ENV{TOLVANE_STANDIN_SERVER} || '';

sub new {
    my ($class) = @_;
    my $self = bless { callbacks => {}, sent => [], asked => [], buddies => {}, commits => [],
        timeout => 0.01 }, $class;
    push @made, $self;
    return $self;
}

our $AUTOLOAD;
sub AUTOLOAD {
    my $self = shift;
    (my $name = $AUTOLOAD) =~ s/.*:://;
    return if $name eq 'DESTROY';
    die "Net::OSCAR has no method $name\n" unless $name =~ /\Aset_callback_(\w+)\z/;
    $self->{callbacks}{$1} = shift;
}

sub fire {
    my ($self, $name, @args) = @_;
    my $callback = $self->{callbacks}{$name} or return;
    return $callback->($self, @args);
}

sub _connection {
    my ($type, %more) = @_;
    return bless { conntype => $type, connected => 1, %more }, 'Net::OSCAR::Connection';
}

sub signon {
    my ($self, %args) = @_;
    return unless $self->{callbacks};    # emptied: nothing ever happens
    $self->{signon} = \%args;
    $self->{connections} = [ _connection(Net::OSCAR::Constants::CONNTYPE_LOGIN()) ];
}

sub signoff {
    my ($self) = @_;
    for my $connection (@{ $self->{connections} || [] }) {
        $self->fire('connection_changed', $connection, 'deleted');
    }
    %$self = ();
}

sub crapout {
    my ($self, $connection, $why) = @_;
    $self->fire('error', $connection, 0, $why, 1);
    $self->signoff;
}

sub must_be_on {
    my ($self) = @_;
    return $self->fire('error', undef, 0, 'You have not finished signing on.', 0);
}

sub timeout {
    my ($self, $timeout) = @_;
    return $self->{timeout} unless $timeout;
    $self->{timeout} = $timeout;
}

sub do_one_loop {
    my ($self) = @_;
    my $rin = '';
    for my $connection (@{ $self->{connections} || [] }) {
        vec($rin, fileno $connection->{socket}, 1) = 1 if $connection->{socket};
    }
    return unless $self->{connections} && @{ $self->{connections} };
    if ($SERVER && !$self->{is_on}) {
        return $self->server_accepts if $SERVER eq 'accepts';
        return $self->server_refuses("Couldn't connect to the server: Connection refused");
    }
    while ($SERVER && @{ $self->{asked} }) {
        my (undef, $who) = split / /, shift @{ $self->{asked} }, 2;
        $self->fire('buddy_info', $who, {});
    }
    # Like the package with a connection whose end it did not notice: the
    # socket is not read.
    select($rin, undef, undef, $self->{timeout});
}

sub send_im {
    my ($self, $to, $message, $away) = @_;
    return $self->must_be_on unless $self->{is_on};
    return 0 if length($message) >= 7987;
    push @{ $self->{sent} }, [$to, $message, $away];
    return scalar @{ $self->{sent} };
}

sub get_away { my ($self, $who) = @_; push @{ $self->{asked} }, "away $who" }
sub get_info { my ($self, $who) = @_; push @{ $self->{asked} }, "info $who" }

sub findbuddy {
    my ($self, $buddy) = @_;
    for my $group (sort keys %{ $self->{buddies} }) {
        return $group if grep { lc eq lc $buddy } @{ $self->{buddies}{$group} };
    }
    return;
}

sub add_buddy {
    my ($self, $group, @buddies) = @_;
    return $self->must_be_on unless $self->{is_on};
    push @{ $self->{buddies}{$group} }, @buddies;
}

sub commit_buddylist {
    my ($self) = @_;
    return $self->must_be_on unless $self->{is_on};
    push @{ $self->{commits} }, { map { $_ => [ @{ $self->{buddies}{$_} } ] } keys %{ $self->{buddies} } };
}

# The server's side. The login server hands over to the main connection
# (with a socket when given one) and the account's buddy list arrives.
sub server_accepts {
    my ($self, %args) = @_;
    my ($login) = @{ $self->{connections} };
    $self->{connections} =
      [ _connection(Net::OSCAR::Constants::CONNTYPE_BOS(), socket => $args{socket}) ];
    $self->fire('connection_changed', $login, 'deleted');
    $self->{buddies} = $args{buddies} || {};
    $self->{is_on} = 1;
    $self->fire('signon_done');
}

# Sign-on turned down, or the server unreachable.
sub server_refuses {
    my ($self, $why) = @_;
    $self->crapout($self->{connections}[0], $why);
}

# The connection broken off (the server killed): the package sees the end of
# the socket.
sub server_drops {
    my ($self) = @_;
    my ($bos) = grep { $_->{conntype} == Net::OSCAR::Constants::CONNTYPE_BOS() }
      @{ $self->{connections} };
    @{ $self->{connections} } = grep { $_ != $bos } @{ $self->{connections} };
    $self->fire('connection_changed', $bos, 'deleted');
    $self->crapout($bos, 'Lost connection to BOS');
}

1;
